#include "CApiManagers.h"

#include <string>

#include "BenchSandbox.h"
#include "HostPlatform.h"

namespace k4xbench {

Zr::Kdt::Trace::CK4xDeviceConfigManager* CxxManager()
{
    static Zr::Kdt::Trace::DeviceDescriptor descriptor = MakeDescriptor(kCpuName);
    static Zr::Kdt::Trace::CK4xDeviceConfigManager* manager = [] {
        const std::string program = ZR_KDT::platform::ExecutablePath();
        const std::string path = program.substr(0, program.find_last_of('/') + 1) + K4X_CONFIG_LIBRARY_NAME;
        ZR_KDT::platform::ModuleHandle module = ZR_KDT::platform::OpenLibraryFile(path.c_str());
        auto create = reinterpret_cast<CreateDeviceConfigManagerFn>(
            ZR_KDT::platform::FindSymbol(module, "CreateDeviceConfigManager"));
        return create != nullptr ? Zr::Kdt::Trace::AsPropertySetter(create(&descriptor, 0)) : nullptr;
    }();
    return manager;
}

k4x_manager* CManager()
{
    static k4x_manager* manager = [] {
        k4x_manager* made = nullptr;
        return k4x_open(nullptr, kCpuName, 0, 0, &made) == K4X_OK ? made : nullptr;
    }();
    return manager;
}

}  // namespace k4xbench
