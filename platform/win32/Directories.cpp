// Win32 backend: directories and the working directory.
#include "Platform.h"

#include <direct.h>
#include <sys/stat.h>
#include <windows.h>

#include <climits>

namespace ZR_KDT {
namespace platform {

int MakeDirectory(const char* path) { return path != nullptr ? ::_mkdir(path) : -1; }

bool CreateOneDirectory(const char* path) { return path != nullptr && ::CreateDirectoryA(path, nullptr) != 0; }

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

}  // namespace platform
}  // namespace ZR_KDT
