#include "HostLibrary.h"

#include <cstring>

namespace k4xtest {

HostLibrary::HostLibrary() : module_(ZR_KDT::platform::OpenLibrary(K4X_LIBRARY_FILE))
{
    if (module_ == nullptr) return;
    create_ = reinterpret_cast<CreateDeviceConfigManagerFn>(
        ZR_KDT::platform::FindSymbol(module_, "CreateDeviceConfigManager"));
    destroy_ = reinterpret_cast<DestroyDeviceConfigManagerFn>(
        ZR_KDT::platform::FindSymbol(module_, "DestroyDeviceConfigManager"));
}

HostLibrary::~HostLibrary()
{
    if (module_ != nullptr) ZR_KDT::platform::CloseLibrary(module_);
}

HostLibrary::Manager HostLibrary::Create(DeviceDescriptor* descriptor, uint64_t hostValue)
{
    return Manager(create_(descriptor, hostValue), destroy_);
}

DeviceDescriptor MakeDescriptor(const char* cpuName, uint32_t first, uint32_t second)
{
    DeviceDescriptor descriptor;
    std::memset(&descriptor, 0xA5, sizeof descriptor);
    descriptor.cpuName = cpuName;
    descriptor.firstNumber = first;
    descriptor.secondNumber = second;
    return descriptor;
}

}  // namespace k4xtest
