// Win32 backend: free disk space and shared file streams.
#include <share.h>
#include <windows.h>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

bool FreeDiskSpace(const char* directory, uint64_t& bytes)
{
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(directory, &available, nullptr, nullptr)) return false;
    bytes = available.QuadPart;
    return true;
}

std::FILE* OpenSharedFile(const char* path, const char* mode)
{
    return path != nullptr && mode != nullptr ? ::_fsopen(path, mode, _SH_DENYNO) : nullptr;
}

}  // namespace platform
}  // namespace ZR_KDT
