// POSIX backend: directories, file streams and their locks, free space and
// replacing a file in one step.
#include "SystemsOwnCalls.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace ZR_KDT {
namespace platform {

namespace {

// Any extended attribute, an ACL included (system.posix_acl_access), but a
// security label: the system gives a new file in the same folder its label
// by the same rule.
bool HasExtendedAttributes(const char* path)
{
    const ssize_t size = ::listxattr(path, nullptr, 0);
    // None, or a file system without them.
    if (size <= 0) return false;
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::listxattr(path, &names[0], names.size());
    // Attributes added meanwhile: there are some.
    if (got < 0) return true;
    for (std::size_t at = 0; at < static_cast<std::size_t>(got); at += std::strlen(&names[at]) + 1) {
        if (names.compare(at, 9, "security.") != 0) return true;
    }
    return false;
}

}  // namespace

bool MakeDirectory(const char* path) { return path != nullptr && ::mkdir(path, 0777) == 0; }

bool WorkingDirectory(char* buffer, std::size_t size)
{
    return buffer != nullptr && size != 0 && ::getcwd(buffer, size) != nullptr;
}

bool PathExists(const char* path)
{
    struct stat info;
    return path != nullptr && ::stat(path, &info) == 0;
}

bool FileSize(const char* path, uint64_t& bytes)
{
    struct stat info;
    if (path == nullptr || ::stat(path, &info) != 0) return false;
    bytes = static_cast<uint64_t>(info.st_size);
    return true;
}

// statvfs answers for a file as for a directory, through links.
bool own::FreeDiskSpace(const char* path, uint64_t& bytes)
{
    struct statvfs volume {};
    if (::statvfs(path != nullptr ? path : ".", &volume) != 0) return false;
    bytes = static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
    return true;
}

// POSIX files carry no share mode: other handles may always open them.
std::FILE* own::OpenShared(const char* path, const char* mode)
{
    return path != nullptr && mode != nullptr ? std::fopen(path, mode) : nullptr;
}

own::ReadHandle own::OpenForReading(const char* path)
{
    return path != nullptr ? ::open(path, O_RDONLY | O_CLOEXEC) : kNotOpened;
}

void own::CloseForReading(ReadHandle file) { ::close(static_cast<int>(file)); }

own::ReadHandle own::HandleOf(std::FILE* stream) { return ::fileno(stream); }

long long own::ReadAt(ReadHandle file, uint64_t offset, void* buffer, std::size_t count)
{
    ssize_t got;
    do {
        got = ::pread(static_cast<int>(file), buffer, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

bool own::LengthOf(ReadHandle file, uint64_t& bytes)
{
    struct stat info;
    if (::fstat(static_cast<int>(file), &info) != 0) return false;
    bytes = static_cast<uint64_t>(info.st_size);
    return true;
}

void LockStream(std::FILE* stream) { ::flockfile(stream); }

void UnlockStream(std::FILE* stream) { ::funlockfile(stream); }

void AdviseScatteredReads(std::FILE* stream) { ::posix_fadvise(::fileno(stream), 0, 0, POSIX_FADV_RANDOM); }

std::string ReplaceableTarget(const char* path)
{
    struct stat link;
    if (path == nullptr) return std::string();
    if (::lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path, nullptr), &std::free);
    return resolved != nullptr ? resolved.get() : std::string();
}

bool ReplacementLoses(const char* path)
{
    struct stat file;
    if (path == nullptr || ::stat(path, &file) != 0) return false;
    return file.st_nlink > 1 || HasExtendedAttributes(path);
}

// The owner first: a change of owner may clear the set-id bits.
bool CopyFileAccess(const char* from, std::FILE* to)
{
    struct stat source, copy;
    if (::stat(from, &source) != 0) return errno == ENOENT;
    const int descriptor = ::fileno(to);
    if (::fstat(descriptor, &copy) != 0) return false;
    if ((source.st_uid != copy.st_uid || source.st_gid != copy.st_gid) &&
        ::fchown(descriptor, source.st_uid, source.st_gid) != 0) {
        return false;
    }
    return ::fchmod(descriptor, source.st_mode & 07777) == 0;
}

// The data goes to the disk before the name moves: after a crash the
// target holds either the old contents or all of the new ones.
bool own::Replace(const char* from, const char* to)
{
    if (from == nullptr || to == nullptr) return false;
    const ReadHandle file = OpenForReading(from);
    if (file == kNotOpened) return false;
    const bool synced = ::fsync(static_cast<int>(file)) == 0;
    CloseForReading(file);
    return synced && std::rename(from, to) == 0;
}

}  // namespace platform
}  // namespace ZR_KDT
