#include "LoadedLibrary.h"

#include "uEnvironment.h"

#include <cstring>

namespace k4xtest {

ConfigLibrary::ConfigLibrary() : LoadedLibrary(K4X_LIBRARY_FILE) {}

ConfigLibrary::Manager ConfigLibrary::Create(Zr::Kdt::Trace::DeviceDescriptor* descriptor, uint64_t hostValue) const
{
    const auto create = Find<CreateDeviceConfigManagerFn>("CreateDeviceConfigManager");
    return Manager(create != nullptr ? create(descriptor, hostValue) : nullptr,
                   Find<DestroyDeviceConfigManagerFn>("DestroyDeviceConfigManager"));
}

StandIn::StandIn(const char* folder, const char* library) : LoadedLibrary(SimFolder(folder) + "/" + library) {}

// A stand-in that failed to load counts -2: no test expects that.
long StandIn::Count(const char* call) const
{
    const auto count = Find<long (*)(const char*)>("SimCallCount");
    return count != nullptr ? count(call) : -2;
}

std::string SimFolder(const char* folder)
{
    std::string path = K4X_SIM_ROOT;
    ZR_KDT::AppendPathComponent(path, folder);
    return path;
}

Zr::Kdt::Trace::DeviceDescriptor MakeDescriptor(const char* cpuName, uint32_t first, uint32_t second)
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor;
    std::memset(static_cast<void*>(&descriptor), 0xA5, sizeof descriptor);
    descriptor.cpuName = cpuName;
    descriptor.firstNumber = first;
    descriptor.secondNumber = second;
    return descriptor;
}

}  // namespace k4xtest
