// POSIX backend: the running program's file, and text for its debugger,
// which goes to standard error, one line.
#include "SystemsOwnCalls.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>

namespace k4xplatform {

std::string ExecutablePath()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    // A name that fills the buffer may be cut.
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
    return std::string(path, static_cast<size_t>(length));
}

void own::DebugOutput(const char* text)
{
    if (text == nullptr) return;
    const std::size_t length = std::strlen(text);
    std::fwrite(text, 1, length, stderr);
    if (length == 0 || text[length - 1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace k4xplatform
