#include "CApiManagers.h"

#include <string>

#include "BenchSandbox.h"
#include "ConfigLibrary.h"

namespace k4xbench {

Zr::Kdt::Trace::CK4xDeviceConfigManager* CxxManager()
{
    static k4xhost::ConfigLibrary library;
    static const std::unique_ptr<k4xhost::Device> device = [] {
        std::string error;
        return library.OpenBeside("", error) ? library.CreateDevice(kCpuName, 0, 0, error) : nullptr;
    }();
    return device != nullptr ? Zr::Kdt::Trace::AsPropertySetter(&device->Manager()) : nullptr;
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
