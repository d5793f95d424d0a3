// Opening and closing handles: the configuration library loaded by file,
// its two exports, one manager, and the properties it knows.
#include "Handle.h"

#include "HostPlatform.h"
#include "K4xProperty.h"

#include <mutex>

namespace k4xc {

namespace platform = ZR_KDT::platform;

namespace {

// The library's first manager sets up process-wide state, and destruction
// unloads libraries: both happen one at a time.
std::mutex g_lifecycleLock;

// The configuration library in the folder of the module that holds this code.
std::string DefaultLibraryPath()
{
    static const char anchor = 0;
    const std::string self = platform::ModulePath(&anchor);
    const size_t end = self.find_last_of(platform::kPathSeparator);
    return end == std::string::npos ? std::string() : self.substr(0, end + 1) + K4X_CONFIG_LIBRARY_NAME;
}

k4x_status LoadLibrary(k4x_manager& handle, const char* library, CreateDeviceConfigManagerFn& create)
{
    const std::string path = library != nullptr ? library : DefaultLibraryPath();
    if (path.empty()) return Fail(&handle, K4X_NO_LIBRARY, "cannot tell the folder of the C interface library");
    handle.module = platform::OpenLibraryFile(path.c_str());
    if (handle.module == nullptr) {
        const std::string detail = platform::LastLoadErrorDetail();
        return Fail(&handle, K4X_NO_LIBRARY,
                    "cannot load the configuration library " + path + " (error " +
                        std::to_string(platform::LastErrorCode()) + (detail.empty() ? "" : ": " + detail) + ")");
    }
    handle.destroy = reinterpret_cast<DestroyDeviceConfigManagerFn>(
        platform::FindSymbol(handle.module, "DestroyDeviceConfigManager"));
    create =
        reinterpret_cast<CreateDeviceConfigManagerFn>(platform::FindSymbol(handle.module, "CreateDeviceConfigManager"));
    if (handle.destroy == nullptr || create == nullptr) {
        return Fail(&handle, K4X_NO_LIBRARY,
                    path +
                        " is not a configuration library: CreateDeviceConfigManager or DestroyDeviceConfigManager "
                        "missing");
    }
    return K4X_OK;
}

// The names that the library answers, with the type it gives each.
void LearnProperties(k4x_manager& handle)
{
    for (const K4xFormat::Property& property : K4xFormat::AllProperties()) {
        const std::string name(property.name);
        Zr::Kdt::Trace::PropertyValue value;
        if (handle.manager->GetProperty(name, value)) handle.properties.push_back({name, static_cast<int>(value.type)});
    }
}

}  // namespace

k4x_status Open(k4x_manager& handle, const char* library, const char* cpuName, uint32_t first, uint32_t second)
{
    if (cpuName == nullptr) return Fail(&handle, K4X_BAD_ARGUMENT, "no CPU name");
    std::lock_guard<std::mutex> hold(g_lifecycleLock);
    CreateDeviceConfigManagerFn create = nullptr;
    if (const k4x_status status = LoadLibrary(handle, library, create); status != K4X_OK) return status;
    handle.cpuName = cpuName;
    handle.descriptor.cpuName = handle.cpuName.c_str();
    handle.descriptor.firstNumber = first;
    handle.descriptor.secondNumber = second;
    handle.manager = create(&handle.descriptor, 0);
    if (handle.manager == nullptr) return Fail(&handle, K4X_NO_MEMORY, "the library made no manager: out of memory");
    LearnProperties(handle);
    return K4X_OK;
}

void Close(k4x_manager& handle)
{
    std::lock_guard<std::mutex> hold(g_lifecycleLock);
    if (handle.manager != nullptr) handle.destroy(handle.manager);
    handle.manager = nullptr;
    platform::CloseLibrary(handle.module);
    handle.module = nullptr;
}

}  // namespace k4xc
