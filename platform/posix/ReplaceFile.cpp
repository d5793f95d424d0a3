// POSIX backend: replacing a file in one step.
#include "Platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace ZR_KDT {
namespace platform {

// The data goes to the disk before the name moves: after a crash the
// target holds either the old contents or all of the new ones.
bool ReplaceFile(const char* from, const char* to)
{
    if (from == nullptr || to == nullptr) return false;
    const int descriptor = ::open(from, O_RDONLY);
    if (descriptor < 0) return false;
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced && std::rename(from, to) == 0;
}

}  // namespace platform
}  // namespace ZR_KDT
