// The two factory functions that hosts look up by name.
#include "DeviceConfigManager.h"
#include "K4xDeviceCfgMgr.h"
#include "Platform.h"
#include "uLogManager.h"

#include <chrono>

using Zr::Kdt::Trace::CDeviceConfigManager;
using Zr::Kdt::Trace::DeviceDescriptor;

namespace {

// The loggers go with the library: a host that unloads it keeps neither
// their memory nor an open log file. Later log calls see level 0. At the
// end of the process they are left to it: the system has ended the other
// threads by then, wherever they stood. An unload holds the loader lock,
// for which every library load in the process waits: Release waits at most
// a second for a log call in flight, then leaves the loggers be.
struct LoggersReleasedAtUnload {
    ~LoggersReleasedAtUnload()
    {
        if (!k4xplatform::ProcessEnding()) ZR_KDT::uLogManager::Instance().Release(std::chrono::seconds(1));
    }
} g_loggersReleasedAtUnload;

}  // namespace

extern "C" K4X_API CDeviceConfigManager* CreateDeviceConfigManager(DeviceDescriptor* descriptor, uint64_t hostValue)
{
    // Construction absorbs its own failures; only running out of memory is
    // left, and the host sees that as null.
    try {
        return new K4xDeviceCfgMgr(descriptor, hostValue);
    } catch (...) {
        return nullptr;
    }
}

extern "C" K4X_API void DestroyDeviceConfigManager(CDeviceConfigManager* manager) { delete manager; }
