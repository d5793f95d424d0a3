// POSIX backend: process ids and whether a process runs.
#include "Platform.h"

#include <errno.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <string>

namespace ZR_KDT {
namespace platform {

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

uint64_t FindProcessById(uint64_t id)
{
    // 0 and anything beyond pid_t would address process groups or wrap.
    if (id == 0 || id > static_cast<uint64_t>(std::numeric_limits<pid_t>::max())) return 0;
    struct stat info;
    const std::string entry = "/proc/" + std::to_string(id);
    if (::stat(entry.c_str(), &info) == 0) return id;
    // Without /proc: the process exists even when we may not signal it.
    const bool exists = ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
    return exists ? id : 0;
}

}  // namespace platform
}  // namespace ZR_KDT
