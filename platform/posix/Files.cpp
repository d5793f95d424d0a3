// POSIX backend: free disk space and shared file streams.
#include <sys/statvfs.h>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

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

}  // namespace platform
}  // namespace ZR_KDT
