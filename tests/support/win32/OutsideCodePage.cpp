// Windows: the folder and the variable in UTF-16.
#include "OutsideCodePage.h"

#include <windows.h>

namespace k4xtest {

bool PointProfileOutsideTheCodePage(const std::string& parent)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, parent.data(), static_cast<int>(parent.size()), nullptr, 0);
    std::wstring folder(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, parent.data(), static_cast<int>(parent.size()), folder.data(), length);
    // A Polish and a Chinese name at once: no ANSI code page holds both.
    folder += L"\\\u0141ukasz-\u4E2D\u6587";
    return ::CreateDirectoryW(folder.c_str(), nullptr) && ::SetEnvironmentVariableW(L"USERPROFILE", folder.c_str());
}

}  // namespace k4xtest
