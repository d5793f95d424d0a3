// Win32 backend: replacing a file in one step.
#include "SystemsOwnCalls.h"

#include <windows.h>

namespace ZR_KDT {
namespace platform {

namespace {

bool FlushToDisk(const char* path)
{
    const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = ::FlushFileBuffers(file) != 0;
    ::CloseHandle(file);
    return flushed;
}

// ReplaceFileA needs to delete the old file; where another program holds
// it open without sharing that, it fails and may leave a stray file behind,
// so such a target is not tried at all.
bool CanDelete(const char* path)
{
    const HANDLE file = ::CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

}  // namespace

// A link or junction is written in place: replacing it would put a plain
// file where the link was.
std::string ReplaceableTarget(const char* path)
{
    if (path == nullptr) return std::string();
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return std::string();
    return path;
}

// The ACL and named streams go over to the new file with ReplaceFileA.
bool ReplacementLoses(const char* path)
{
    if (path == nullptr) return false;
    const HANDLE file = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information;
    const bool linked = ::GetFileInformationByHandle(file, &information) && information.nNumberOfLinks > 1;
    ::CloseHandle(file);
    return linked;
}

bool CopyFileAccess(const char*, std::FILE*) { return true; }

// ReplaceFileA keeps the old file's attributes and ACL on the new one.
bool own::Replace(const char* from, const char* to)
{
    if (from == nullptr || to == nullptr || !FlushToDisk(from)) return false;
    if (::GetFileAttributesA(to) == INVALID_FILE_ATTRIBUTES) {
        return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    return CanDelete(to) && ::ReplaceFileA(to, from, nullptr, 0, nullptr, nullptr) != 0;
}

}  // namespace platform
}  // namespace ZR_KDT
