// POSIX backend: directories and the working directory.
#include "Platform.h"

#include <sys/stat.h>
#include <unistd.h>

namespace ZR_KDT {
namespace platform {

int MakeDirectory(const char* path) { return path != nullptr && ::mkdir(path, 0777) == 0 ? 0 : -1; }

bool CreateOneDirectory(const char* path) { return MakeDirectory(path) == 0; }

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

}  // namespace platform
}  // namespace ZR_KDT
