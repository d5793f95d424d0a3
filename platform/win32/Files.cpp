// Win32 backend: directories, file streams and their locks, free space and
// replacing a file in one step.
#include <direct.h>
#include <io.h>
#include <share.h>
#include <stdio.h>
#include <sys/stat.h>
#include <windows.h>

#include <climits>
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

bool MakeDirectory(const char* path) { return path != nullptr && ::CreateDirectoryA(path, nullptr) != 0; }

bool WorkingDirectory(char* buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0 || size > INT_MAX) return false;
    return ::_getcwd(buffer, static_cast<int>(size)) != nullptr;
}

bool PathExists(const char* path)
{
    struct _stat64i32 info;
    return path != nullptr && ::_stat64i32(path, &info) == 0;
}

bool FileSize(const char* path, uint64_t& bytes)
{
    struct _stat64 info;
    if (path == nullptr || ::_stat64(path, &info) != 0) return false;
    bytes = static_cast<uint64_t>(info.st_size);
    return true;
}

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

// The access and sharing with which _fsopen opens a file for reading.
own::ReadHandle own::OpenForReading(const char* path)
{
    if (path == nullptr) return kNotOpened;
    return reinterpret_cast<ReadHandle>(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void own::CloseForReading(ReadHandle file) { ::CloseHandle(reinterpret_cast<HANDLE>(file)); }

own::ReadHandle own::HandleOf(std::FILE* stream) { return ::_get_osfhandle(::_fileno(stream)); }

// ReadFile with an offset in its OVERLAPPED record reads there on a handle
// opened for synchronous use, and moves the handle's file pointer behind
// what it read.
long long own::ReadAt(ReadHandle handle, uint64_t offset, void* buffer, std::size_t count)
{
    const HANDLE file = reinterpret_cast<HANDLE>(handle);
    if (file == INVALID_HANDLE_VALUE || count > MAXDWORD) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!::ReadFile(file, buffer, static_cast<DWORD>(count), &got, &at)) {
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
}

bool own::LengthOf(ReadHandle file, uint64_t& bytes)
{
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(reinterpret_cast<HANDLE>(file), &length)) return false;
    bytes = static_cast<uint64_t>(length.QuadPart);
    return true;
}

void LockStream(std::FILE* stream) { ::_lock_file(stream); }

void UnlockStream(std::FILE* stream) { ::_unlock_file(stream); }

// Windows takes such advice only when the file is opened.
void AdviseScatteredReads(std::FILE*) {}

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
