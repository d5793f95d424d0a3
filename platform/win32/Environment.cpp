// Win32 backend: environment variables.
#include "Platform.h"

#include <windows.h>

#include <vector>

namespace ZR_KDT {
namespace platform {

namespace {

// The largest value the environment can hold, with its terminating NUL.
constexpr DWORD kValueBufferSize = 32768;

}  // namespace

bool GetEnvironment(const char* name, std::string& value)
{
    value.clear();
    if (name == nullptr) return false;
    std::vector<char> buffer(kValueBufferSize);
    ::SetLastError(0);
    const DWORD length = ::GetEnvironmentVariableA(name, buffer.data(), kValueBufferSize);
    // 0 stands for both an empty and an unset variable; only the error code
    // tells them apart. kValueBufferSize or more: the size it would need.
    if (length == 0) return ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    if (length >= kValueBufferSize) return false;
    value.assign(buffer.data(), length);
    return true;
}

bool SetEnvironment(const char* name, const char* value)
{
    if (name == nullptr) return false;
    if (::SetEnvironmentVariableA(name, value) != 0) return true;
    // Removing a variable that is not set leaves what the caller asked for.
    return value == nullptr && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace platform
}  // namespace ZR_KDT
