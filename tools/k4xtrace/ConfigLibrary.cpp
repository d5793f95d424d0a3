#include "ConfigLibrary.h"

#include "HostPlatform.h"

namespace k4xtrace {

namespace platform = ZR_KDT::platform;

ConfigLibrary::~ConfigLibrary()
{
    if (m_module != nullptr) platform::CloseLibrary(m_module);
}

bool ConfigLibrary::Open(const std::string& path, std::string& error)
{
    m_module = platform::OpenLibrary(path.c_str());
    if (m_module == nullptr) {
        const std::string detail = platform::LastLoadErrorDetail();
        error = "cannot load the configuration library " + path + " (error " +
                std::to_string(platform::LastErrorCode()) + (detail.empty() ? "" : ": " + detail) + ")";
        return false;
    }
    m_create =
        reinterpret_cast<CreateDeviceConfigManagerFn>(platform::FindSymbol(m_module, "CreateDeviceConfigManager"));
    m_destroy =
        reinterpret_cast<DestroyDeviceConfigManagerFn>(platform::FindSymbol(m_module, "DestroyDeviceConfigManager"));
    if (m_create == nullptr || m_destroy == nullptr) {
        error =
            path + " is not a configuration library: CreateDeviceConfigManager or DestroyDeviceConfigManager missing";
        return false;
    }
    return true;
}

std::unique_ptr<Device> ConfigLibrary::CreateDevice(const std::string& cpu, std::string& error)
{
    auto device = std::make_unique<Device>(cpu, m_destroy);
    if (!device->Attach(m_create(device->Descriptor(), 0))) {
        error = "the library made no manager for " + cpu;
        return nullptr;
    }
    return device;
}

std::string ConfigLibrary::Version() const
{
    std::string version;
    return platform::ModuleVersion(m_module, version) ? version : "unknown";
}

std::string DefaultLibraryPath()
{
    const std::string folder = ProgramFolder();
    // Without the program's folder the bare name still finds it there first.
    if (folder.empty()) return K4X_LIBRARY_NAME;
    const std::string beside = folder + K4X_LIBRARY_NAME;
    const std::string installed = folder + K4X_INSTALLED_LIBRARY_FOLDER + K4X_LIBRARY_NAME;
    return platform::PathExists(beside.c_str()) || !platform::PathExists(installed.c_str()) ? beside : installed;
}

std::string ProgramFolder()
{
    const std::string program = platform::ExecutablePath();
    const size_t end = program.find_last_of(platform::kPathSeparator);
    return end == std::string::npos ? std::string() : program.substr(0, end + 1);
}

}  // namespace k4xtrace
