// Win32 backend: text for an attached debugger.
#include <windows.h>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

void own::DebugOutput(const char* text)
{
    if (text != nullptr) ::OutputDebugStringA(text);
}

}  // namespace platform
}  // namespace ZR_KDT
