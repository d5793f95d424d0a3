// Win32 backend: environment variables.
#include "Platform.h"

#include <windows.h>

#include <string>
#include <vector>

namespace k4xplatform {

namespace {

// The largest value the environment can hold, with its terminating NUL.
constexpr DWORD kValueBufferSize = 32768;

// The text in UTF-16, converted from the ANSI code page as the narrow calls
// convert it.
std::wstring Widened(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

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

// The environment holds UTF-16: the narrow value is exact when it widens
// back to the wide one.
bool NarrowValueIsExact(const char* name)
{
    std::string narrow;
    if (!GetEnvironment(name, narrow)) return true;
    std::vector<wchar_t> wide(kValueBufferSize);
    const DWORD length = ::GetEnvironmentVariableW(Widened(name).c_str(), wide.data(), kValueBufferSize);
    return length < kValueBufferSize && Widened(narrow) == std::wstring(wide.data(), length);
}

bool SetEnvironment(const char* name, const char* value)
{
    if (name == nullptr) return false;
    if (::SetEnvironmentVariableA(name, value) != 0) return true;
    // Removing a variable that is not set leaves what the caller asked for.
    return value == nullptr && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace k4xplatform
