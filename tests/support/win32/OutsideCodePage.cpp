// Windows: the folder and the variable in UTF-16.
#include "OutsideCodePage.h"

#include <windows.h>

namespace k4xtest {

bool PointProfileOutsideTheCodePage(const std::filesystem::path& parent)
{
    // A Polish and a Chinese name at once: no ANSI code page holds both.
    const std::wstring folder = (parent / L"\u0141ukasz-\u4E2D\u6587").native();
    return ::CreateDirectoryW(folder.c_str(), nullptr) && ::SetEnvironmentVariableW(L"USERPROFILE", folder.c_str());
}

}  // namespace k4xtest
