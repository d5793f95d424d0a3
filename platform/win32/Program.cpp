// Win32 backend: the running program's file and its standard streams.
#include <io.h>
#include <windows.h>

#include "Platform.h"

#include <vector>

namespace ZR_KDT {
namespace platform {

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

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::_isatty(::_fileno(stream)) != 0; }

}  // namespace platform
}  // namespace ZR_KDT
