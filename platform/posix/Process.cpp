// POSIX backend: process ids and whether a process runs.
#include "Platform.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

namespace ZR_KDT {
namespace platform {

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

namespace {

// The thread group named in /proc/<id>/status, which answers for the thread
// of a process too; 0 when the entry cannot be read.
uint64_t ThreadGroupOf(uint64_t id)
{
    std::ifstream status("/proc/" + std::to_string(id) + "/status");
    const std::string key = "Tgid:";
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, key.size(), key) == 0) return std::strtoull(line.c_str() + key.size(), nullptr, 10);
    }
    return 0;
}

}  // namespace

uint64_t FindProcessById(uint64_t id)
{
    // 0 and anything beyond pid_t would address process groups or wrap.
    if (id == 0 || id > static_cast<uint64_t>(std::numeric_limits<pid_t>::max())) return 0;
    const uint64_t group = ThreadGroupOf(id);
    if (group != 0) return group == id ? id : 0;
    // Without /proc: the process exists even when we may not signal it.
    const bool exists = ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
    return exists ? id : 0;
}

bool ProcessEnding() { return false; }

}  // namespace platform
}  // namespace ZR_KDT
