#include "ConfigLibrary.h"

namespace k4xhost {

namespace {

// An address in the module that holds this code, whose folder the default
// library file is looked for in.
const char g_anchor = 0;

}  // namespace

std::string ThisModuleFolder() { return k4xplatform::ModuleFolder(&g_anchor); }

std::string LoadFailure(const std::string& path)
{
    const std::string detail = k4xplatform::LastLoadErrorDetail();
    return "cannot load the configuration library " + path + " (error " + std::to_string(k4xplatform::LastErrorCode()) +
           (detail.empty() ? "" : ": " + detail) + ")";
}

bool FindExports(k4xplatform::ModuleHandle module, const std::string& path, Exports& exports, std::string& error)
{
    exports.create =
        reinterpret_cast<CreateDeviceConfigManagerFn>(k4xplatform::FindSymbol(module, "CreateDeviceConfigManager"));
    exports.destroy =
        reinterpret_cast<DestroyDeviceConfigManagerFn>(k4xplatform::FindSymbol(module, "DestroyDeviceConfigManager"));
    if (exports.create != nullptr && exports.destroy != nullptr) return true;
    error = path + " is not a configuration library: CreateDeviceConfigManager or DestroyDeviceConfigManager missing";
    return false;
}

bool ConfigLibrary::Open(const std::string& path, std::string& error)
{
    m_path = path;
    return Take(k4xplatform::OpenLibraryFile(path.c_str()), error);
}

bool ConfigLibrary::OpenBeside(const char* otherFolder, std::string& error)
{
    const std::string folder = ThisModuleFolder();
    if (folder.empty()) {
        error = "cannot tell the folder in which to look for the configuration library " K4X_LIBRARY_NAME;
        return false;
    }
    const std::string other = std::string(otherFolder) + K4X_LIBRARY_NAME;
    const bool beside = k4xplatform::ExistsBesideModule(&g_anchor, K4X_LIBRARY_NAME) ||
                        !k4xplatform::ExistsBesideModule(&g_anchor, other.c_str());
    const std::string name = beside ? K4X_LIBRARY_NAME : other;
    m_path = folder + name;
    return Take(k4xplatform::OpenLibraryBesideModule(&g_anchor, name.c_str()), error);
}

bool ConfigLibrary::Take(k4xplatform::ModuleHandle module, std::string& error)
{
    m_module = module;
    if (m_module == nullptr) {
        error = LoadFailure(m_path);
        return false;
    }
    return FindExports(m_module, m_path, m_exports, error);
}

void ConfigLibrary::Close()
{
    if (m_module != nullptr) k4xplatform::CloseLibrary(m_module);
    m_module = nullptr;
    m_exports = Exports();
}

std::unique_ptr<Device> ConfigLibrary::CreateDevice(const std::string& cpu, uint32_t first, uint32_t second,
                                                    std::string& error) const
{
    std::unique_ptr<Device> device(new Device(cpu, first, second, m_exports.destroy));
    if (device->Attach(m_exports.create(&device->m_descriptor, 0))) return device;
    error = "the library made no manager for " + cpu;
    return nullptr;
}

std::string ConfigLibrary::Version() const
{
    std::string version;
    return k4xplatform::ModuleVersion(m_module, version) ? version : std::string();
}

}  // namespace k4xhost
