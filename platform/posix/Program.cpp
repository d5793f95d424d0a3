// POSIX backend: the running program's file and its standard streams.
#include "Platform.h"

#include <limits.h>
#include <unistd.h>

namespace ZR_KDT {
namespace platform {

std::string ExecutablePath()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    // A name that fills the buffer may be cut.
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
    return std::string(path, static_cast<size_t>(length));
}

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::isatty(::fileno(stream)) != 0; }

}  // namespace platform
}  // namespace ZR_KDT
