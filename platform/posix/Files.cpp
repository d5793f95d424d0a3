// POSIX backend: free disk space and shared file streams.
#include <sys/statvfs.h>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

bool FreeDiskSpace(const char* directory, uint64_t& bytes)
{
    struct statvfs volume {};
    if (::statvfs(directory != nullptr ? directory : ".", &volume) != 0) return false;
    bytes = static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
    return true;
}

// POSIX files carry no share mode: other handles may always open them.
std::FILE* OpenSharedFile(const char* path, const char* mode)
{
    return path != nullptr && mode != nullptr ? std::fopen(path, mode) : nullptr;
}

}  // namespace platform
}  // namespace ZR_KDT
