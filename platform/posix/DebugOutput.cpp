// POSIX backend: text for the debugger goes to standard error, one line.
#include <cstring>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

void own::DebugOutput(const char* text)
{
    if (text == nullptr) return;
    const std::size_t length = std::strlen(text);
    std::fwrite(text, 1, length, stderr);
    if (length == 0 || text[length - 1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace platform
}  // namespace ZR_KDT
