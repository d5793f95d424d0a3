// Win32 backend: free disk space and shared file streams.
#include <share.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

namespace {

// The folder of the file that path leads to, through links and junctions,
// as "\\?\C:\dir\"; "" when it cannot be told.
std::string FolderOfFinalPath(const char* path)
{
    const HANDLE file = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::vector<char> name(MAX_PATH);
    DWORD length = ::GetFinalPathNameByHandleA(file, name.data(), static_cast<DWORD>(name.size()), 0);
    // Too small a buffer gives the size it needs, its NUL included.
    if (length >= name.size()) {
        name.resize(length);
        length = ::GetFinalPathNameByHandleA(file, name.data(), static_cast<DWORD>(name.size()), 0);
    }
    ::CloseHandle(file);
    if (length == 0 || length >= name.size()) return std::string();
    const std::string final(name.data(), length);
    return final.substr(0, final.find_last_of('\\') + 1);
}

}  // namespace

// GetDiskFreeSpaceExA asks about a directory only: a file is asked about
// through the folder that holds it.
bool own::FreeDiskSpace(const char* path, uint64_t& bytes)
{
    const DWORD attributes = path != nullptr ? ::GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    const bool isFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const std::string folder = isFile ? FolderOfFinalPath(path) : std::string();
    if (isFile && folder.empty()) return false;
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(isFile ? folder.c_str() : path, &available, nullptr, nullptr)) return false;
    bytes = available.QuadPart;
    return true;
}

std::FILE* own::OpenShared(const char* path, const char* mode)
{
    return path != nullptr && mode != nullptr ? ::_fsopen(path, mode, _SH_DENYNO) : nullptr;
}

}  // namespace platform
}  // namespace ZR_KDT
