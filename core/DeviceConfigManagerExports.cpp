// The two factory functions that hosts look up by name.
#include "DeviceConfigManager.h"
#include "K4xDeviceCfgMgr.h"

using Zr::Kdt::Trace::CDeviceConfigManager;
using Zr::Kdt::Trace::DeviceDescriptor;

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
