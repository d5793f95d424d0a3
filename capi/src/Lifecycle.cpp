// Opening and closing handles: the configuration library loaded by file,
// its two exports, and one manager with the properties it knows.
#include "Handle.h"

#include <mutex>

namespace k4xc {

namespace {

// The library's first manager sets up process-wide state, and destruction
// unloads libraries: both happen one at a time.
std::mutex g_lifecycleLock;

}  // namespace

k4x_status Open(k4x_manager& handle, const char* library, const char* cpuName, uint32_t first, uint32_t second)
{
    if (cpuName == nullptr) return Fail(&handle, K4X_BAD_ARGUMENT, "no CPU name");
    std::lock_guard<std::mutex> hold(g_lifecycleLock);
    std::string error;
    if (!(library != nullptr ? handle.library.Open(library, error) : handle.library.OpenBeside("", error)))
        return Fail(&handle, K4X_NO_LIBRARY, error);
    handle.device = handle.library.CreateDevice(cpuName, first, second, error);
    return handle.device != nullptr ? K4X_OK : Fail(&handle, K4X_NO_MEMORY, error + ": out of memory");
}

void Close(k4x_manager& handle)
{
    std::lock_guard<std::mutex> hold(g_lifecycleLock);
    handle.device.reset();
    handle.library.Close();
}

}  // namespace k4xc
