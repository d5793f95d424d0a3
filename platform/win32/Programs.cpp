// Win32 backend: the running program's file, and text for an attached
// debugger.
#include <windows.h>

#include <vector>

#include "SystemsOwnCalls.h"

namespace k4xplatform {

std::string ExecutablePath()
{
    // Grows the buffer until the name fits: a full buffer may be a cut name.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<char> buffer(size);
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) return std::string();
        if (length < size) return std::string(buffer.data(), length);
    }
    return std::string();
}

void own::DebugOutput(const char* text)
{
    if (text != nullptr) ::OutputDebugStringA(text);
}

}  // namespace k4xplatform
