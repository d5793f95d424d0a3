#include "LoadedLibrary.h"

#include "uEnvironment.h"

#include <cstring>

namespace k4xtest {

namespace {

// The stand-ins' test exports (external/sim/SimSupport.h).
using SimCallCountFn = long (*)(const char*);
using SimSetTargetFn = void (*)(const char*);

}  // namespace

LoadedLibrary::LoadedLibrary(const std::string& path) : m_module(ZR_KDT::platform::OpenLibrary(path.c_str())) {}

LoadedLibrary::~LoadedLibrary() { ZR_KDT::platform::CloseLibrary(m_module); }

ConfigLibrary::ConfigLibrary() : LoadedLibrary(K4X_LIBRARY_FILE) {}

bool ConfigLibrary::Usable() const
{
    return Find<CreateDeviceConfigManagerFn>("CreateDeviceConfigManager") != nullptr &&
           Find<DestroyDeviceConfigManagerFn>("DestroyDeviceConfigManager") != nullptr;
}

ConfigLibrary::Manager ConfigLibrary::Create(Zr::Kdt::Trace::DeviceDescriptor* descriptor, uint64_t hostValue) const
{
    const auto create = Find<CreateDeviceConfigManagerFn>("CreateDeviceConfigManager");
    return Manager(create(descriptor, hostValue), Find<DestroyDeviceConfigManagerFn>("DestroyDeviceConfigManager"));
}

StandIn::StandIn(const char* folder, const char* library) : LoadedLibrary(SimFolder(folder) + "/" + library) {}

long StandIn::Count(const char* call) const
{
    const auto count = Find<SimCallCountFn>("SimCallCount");
    return count != nullptr ? count(call) : -2;
}

void StandIn::UseTarget(const std::string& path) const
{
    const auto use = Find<SimSetTargetFn>("SimSetTarget");
    if (use != nullptr) use(path.c_str());
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
