// POSIX backend: opening, reading, syncing, renaming and examining files,
// directories and their free space, and what a replacement must carry over.
#include "SystemsOwnCalls.h"

#include <dirent.h>
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

namespace k4xplatform {

namespace {

int DescriptorOf(File file) { return file.stream != nullptr ? ::fileno(file.stream) : static_cast<int>(file.handle); }

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

std::string RealPath(const char* path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path, nullptr), &std::free);
    return resolved != nullptr ? resolved.get() : std::string();
}

}  // namespace

// POSIX files carry no share mode: other handles may always open them.
File own::OpenForReading(const char* path) { return File{nullptr, ::open(path, O_RDONLY | O_CLOEXEC)}; }

// "e" is glibc's close-on-exec.
File own::OpenStream(const char* path, const char* mode)
{
    const std::string privateMode = std::string(mode) + "e";
    return File{std::fopen(path, privateMode.c_str()), kNoHandle};
}

File own::CreateNew(const char* path, bool update, bool binary, bool ownerOnly)
{
    const int flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    const int descriptor = ::open(path, flags, ownerOnly ? 0600 : 0666);
    if (descriptor < 0) return kNoFile;
    std::FILE* stream = ::fdopen(descriptor, update ? (binary ? "w+b" : "w+") : (binary ? "wb" : "w"));
    if (stream == nullptr) ::close(descriptor);
    return File{stream, kNoHandle};
}

bool own::Close(File file)
{
    if (file.stream != nullptr) return std::fclose(file.stream) == 0;
    return file.handle != kNoHandle && ::close(static_cast<int>(file.handle)) == 0;
}

long long own::ReadAt(File file, uint64_t offset, void* buffer, std::size_t count)
{
    ssize_t got;
    do {
        got = ::pread(DescriptorOf(file), buffer, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

bool own::Sync(File file) { return ::fsync(DescriptorOf(file)) == 0; }

long long own::Seek(File file, long long offset, int origin)
{
    if (file.stream == nullptr || ::fseeko(file.stream, static_cast<off_t>(offset), origin) != 0) return -1;
    return ::ftello(file.stream);
}

RenameResult own::Rename(const char* from, const char* to)
{
    return from != nullptr && to != nullptr && std::rename(from, to) == 0 ? Rename_Done : Rename_Refused;
}

bool own::Status(const char* path, FileStatus& status)
{
    struct stat info;
    if (path == nullptr || ::stat(path, &info) != 0) return false;
    status.size = static_cast<uint64_t>(info.st_size);
    status.kind = S_ISREG(info.st_mode) ? FileKind_File : S_ISDIR(info.st_mode) ? FileKind_Directory : FileKind_Other;
    status.links = static_cast<uint32_t>(info.st_nlink);
    return true;
}

bool own::MakeDirectory(const char* path) { return path != nullptr && ::mkdir(path, 0777) == 0; }

bool own::ListDirectory(const char* path, std::vector<std::string>& names)
{
    names.clear();
    DIR* directory = path != nullptr ? ::opendir(path) : nullptr;
    if (directory == nullptr) return false;
    while (const dirent* entry = ::readdir(directory)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.push_back(entry->d_name);
        }
    }
    ::closedir(directory);
    return true;
}

// statvfs answers for a file as for a directory; "/." behind the path makes
// it refuse anything but a directory, as GetDiskFreeSpaceExA does.
bool own::FreeDiskSpace(const char* path, uint64_t& bytes)
{
    struct statvfs volume {};
    const std::string directory = path != nullptr ? std::string(path) + "/." : std::string(".");
    if (::statvfs(directory.c_str(), &volume) != 0) return false;
    bytes = static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
    return true;
}

bool WorkingDirectory(char* buffer, std::size_t size)
{
    return buffer != nullptr && size != 0 && ::getcwd(buffer, size) != nullptr;
}

void LockStream(std::FILE* stream) { ::flockfile(stream); }

void UnlockStream(std::FILE* stream) { ::funlockfile(stream); }

void AdviseScatteredReads(File file) { ::posix_fadvise(DescriptorOf(file), 0, 0, POSIX_FADV_RANDOM); }

std::string ReplaceableTarget(const char* path)
{
    struct stat link;
    if (path == nullptr) return std::string();
    if (::lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    return RealPath(path);
}

std::string FolderOfFinalFile(const char* path)
{
    const std::string final = path != nullptr ? RealPath(path) : std::string();
    return final.substr(0, final.find_last_of('/') + 1);
}

bool ReplacementDropsAttributes(const char* path) { return path != nullptr && HasExtendedAttributes(path); }

// The owner first: a change of owner may clear the set-id bits.
bool CopyFileAccess(const char* from, File to)
{
    struct stat source, copy;
    if (::stat(from, &source) != 0) return errno == ENOENT;
    const int descriptor = DescriptorOf(to);
    if (::fstat(descriptor, &copy) != 0) return false;
    if ((source.st_uid != copy.st_uid || source.st_gid != copy.st_gid) &&
        ::fchown(descriptor, source.st_uid, source.st_gid) != 0) {
        return false;
    }
    return ::fchmod(descriptor, source.st_mode & 07777) == 0;
}

}  // namespace k4xplatform
