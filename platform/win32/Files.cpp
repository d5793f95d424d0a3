// Win32 backend: opening, reading, syncing, replacing and examining files,
// directories and their free space.
#include <direct.h>
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdio.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "SystemsOwnCalls.h"

namespace k4xplatform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE HandleOf(File file)
{
    if (file.stream != nullptr) return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file.stream)));
    return reinterpret_cast<HANDLE>(file.handle);
}

// errno for a failed CreateFileA, as the C runtime's own opens set it.
void SetErrnoFromLastError()
{
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        errno = ENOENT;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        errno = EEXIST;
        break;
    default:
        errno = EACCES;
    }
}

// The folder of the file that path leads to, through links and junctions,
// as "\\?\C:\dir\"; "" when it cannot be told.
std::string FolderOfFinalPath(const char* path)
{
    const HANDLE file = ::CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

// ReplaceFileA needs to delete the old file; where another program holds
// it open without sharing that, it fails and may leave a stray file behind,
// so such a target is not tried at all.
bool CanDelete(const char* path)
{
    const HANDLE file =
        ::CreateFileA(path, DELETE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

bool Missing(const char* path) { return ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; }

FileKind KindOf(DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileKind_Directory;
    return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? FileKind_Other : FileKind_File;
}

uint64_t Joined(DWORD high, DWORD low) { return static_cast<uint64_t>(high) << 32 | low; }

}  // namespace

// The access and sharing with which _fsopen opens a file for reading; a
// handle of CreateFileA is never inherited.
File own::OpenForReading(const char* path)
{
    const HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) SetErrnoFromLastError();
    return File{nullptr, reinterpret_cast<intptr_t>(file)};
}

// "N" keeps the handle from child processes.
File own::OpenStream(const char* path, const char* mode)
{
    const std::string privateMode = std::string(mode) + "N";
    return File{::_fsopen(path, privateMode.c_str(), _SH_DENYNO), kNoHandle};
}

// Only the C runtime's descriptor and stream are made around the handle.
// The new file gets the folder's default access rights.
File own::CreateNew(const char* path, bool update, bool binary, bool)
{
    const HANDLE file = ::CreateFileA(path, GENERIC_WRITE | (update ? GENERIC_READ : 0), FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return kNoFile;
    }
    const int descriptor =
        ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_NOINHERIT | (binary ? _O_BINARY : _O_TEXT));
    if (descriptor < 0) {
        ::CloseHandle(file);
        return kNoFile;
    }
    std::FILE* stream = ::_fdopen(descriptor, update ? (binary ? "w+b" : "w+") : (binary ? "wb" : "w"));
    if (stream == nullptr) ::_close(descriptor);
    return File{stream, kNoHandle};
}

bool own::Close(File file)
{
    if (file.stream != nullptr) return std::fclose(file.stream) == 0;
    return file.handle != kNoHandle && ::CloseHandle(reinterpret_cast<HANDLE>(file.handle)) != 0;
}

// ReadFile with an offset in its OVERLAPPED record reads there on a handle
// opened for synchronous use, and moves the handle's file pointer behind
// what it read.
long long own::ReadAt(File file, uint64_t offset, void* buffer, std::size_t count)
{
    const HANDLE handle = HandleOf(file);
    if (handle == INVALID_HANDLE_VALUE || count > MAXDWORD) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!::ReadFile(handle, buffer, static_cast<DWORD>(count), &got, &at)) {
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
}

bool own::Sync(File file) { return ::FlushFileBuffers(HandleOf(file)) != 0; }

long long own::Seek(File file, long long offset, int origin)
{
    if (file.stream == nullptr || ::_fseeki64(file.stream, offset, origin) != 0) return -1;
    return ::_ftelli64(file.stream);
}

// ReplaceFileA keeps the old file's attributes and ACL on the new one.
// Given no backup name, its failure to move the new file into place leaves
// the old one deleted.
RenameResult own::Rename(const char* from, const char* to)
{
    if (from == nullptr || to == nullptr) return Rename_Refused;
    if (Missing(to)) {
        const bool moved = ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        return moved ? Rename_Done : Rename_Refused;
    }
    if (!CanDelete(to)) return Rename_Refused;
    if (::ReplaceFileA(to, from, nullptr, 0, nullptr, nullptr)) return Rename_Done;
    const DWORD error = ::GetLastError();
    return error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || Missing(to) ? Rename_TargetGone : Rename_Refused;
}

// The handle follows links; asking for no access passes any share mode.
bool own::Status(const char* path, FileStatus& status)
{
    if (path == nullptr) return false;
    const HANDLE file = ::CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION information;
    if (file != INVALID_HANDLE_VALUE) {
        const bool known = ::GetFileInformationByHandle(file, &information) != 0;
        ::CloseHandle(file);
        if (!known) return false;
        status = {Joined(information.nFileSizeHigh, information.nFileSizeLow), KindOf(information.dwFileAttributes),
                  information.nNumberOfLinks};
        return true;
    }
    // A file whose access rights refuse even that still tells its attributes.
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &attributes)) return false;
    status = {Joined(attributes.nFileSizeHigh, attributes.nFileSizeLow), KindOf(attributes.dwFileAttributes), 1};
    return true;
}

bool own::MakeDirectory(const char* path) { return path != nullptr && ::CreateDirectoryA(path, nullptr) != 0; }

bool own::ListDirectory(const char* path, std::vector<std::string>& names)
{
    names.clear();
    if (path == nullptr) return false;
    const std::string folder = path;
    const bool separated = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + (separated ? "*" : "\\*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            names.push_back(found.cFileName);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return true;
}

// GetDiskFreeSpaceExA answers for a directory only.
bool own::FreeDiskSpace(const char* path, uint64_t& bytes)
{
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(path, &available, nullptr, nullptr)) return false;
    bytes = available.QuadPart;
    return true;
}

bool WorkingDirectory(char* buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0 || size > INT_MAX) return false;
    return ::_getcwd(buffer, static_cast<int>(size)) != nullptr;
}

void LockStream(std::FILE* stream) { ::_lock_file(stream); }

void UnlockStream(std::FILE* stream) { ::_unlock_file(stream); }

// Windows takes such advice only when the file is opened.
void AdviseScatteredReads(File) {}

// A link or junction is written in place: replacing it would put a plain
// file where the link was.
std::string ReplaceableTarget(const char* path)
{
    if (path == nullptr) return std::string();
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return std::string();
    return path;
}

std::string FolderOfFinalFile(const char* path) { return path != nullptr ? FolderOfFinalPath(path) : std::string(); }

// The ACL and named streams go over to the new file with ReplaceFileA.
bool ReplacementDropsAttributes(const char*) { return false; }

bool CopyFileAccess(const char*, File) { return true; }

}  // namespace k4xplatform
