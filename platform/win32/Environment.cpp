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
    const DWORD length = ::GetEnvironmentVariableA(name, buffer.data(), kValueBufferSize);
    // 0: not set or empty; kValueBufferSize or more: the size it would need.
    if (length == 0 || length >= kValueBufferSize) return false;
    value.assign(buffer.data(), length);
    return true;
}

bool SetEnvironment(const char* name, const char* value)
{
    return name != nullptr && ::SetEnvironmentVariableA(name, value) != 0;
}

}  // namespace platform
}  // namespace ZR_KDT
