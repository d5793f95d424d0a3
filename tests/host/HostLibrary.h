// Loads the built configuration library the way a debugger does.
#pragma once

#include "DeviceConfigManager.h"
#include "Platform.h"

#include <memory>

namespace k4xtest {

using Zr::Kdt::Trace::CDeviceConfigManager;
using Zr::Kdt::Trace::DeviceDescriptor;

class HostLibrary {
public:
    using Manager = std::unique_ptr<CDeviceConfigManager, DestroyDeviceConfigManagerFn>;

    HostLibrary();
    ~HostLibrary();
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    bool Loaded() const { return create_ != nullptr && destroy_ != nullptr; }
    Manager Create(DeviceDescriptor* descriptor, uint64_t hostValue = 0);
    DestroyDeviceConfigManagerFn Destroy() const { return destroy_; }
    ZR_KDT::platform::ModuleHandle Module() const { return module_; }

private:
    ZR_KDT::platform::ModuleHandle module_;
    CreateDeviceConfigManagerFn create_ = nullptr;
    DestroyDeviceConfigManagerFn destroy_ = nullptr;
};

// A descriptor for a CPU name, with the bytes the library must not read
// filled with noise.
DeviceDescriptor MakeDescriptor(const char* cpuName, uint32_t first = 0, uint32_t second = 0);

}  // namespace k4xtest
