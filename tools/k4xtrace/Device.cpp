#include "Device.h"

#include "K4xFileNames.h"

#include <utility>

namespace k4xtrace {

Device::Device(std::string cpu, DestroyDeviceConfigManagerFn destroy) : m_cpu(std::move(cpu)), m_destroy(destroy)
{
    m_descriptor.cpuName = m_cpu.c_str();
}

Device::~Device()
{
    if (m_manager != nullptr) m_destroy(m_manager);
}

bool Device::Attach(CDeviceConfigManager* manager)
{
    m_manager = manager;
    if (m_manager == nullptr) return false;
    m_constructionError = m_manager->GetErrorMessage();
    return true;
}

bool Device::Get(const std::string& name, PropertyValue& value, std::string& error)
{
    return Run([&] { return m_manager->GetProperty(name, value); }, "", error);
}

bool Device::Set(const std::string& name, const PropertyValue& value, std::string& error)
{
    auto* setter = Zr::Kdt::Trace::AsPropertySetter(m_manager);
    return Run([&] { return setter->SetProperty(name, value); }, "", error);
}

bool Device::Load(const std::string& file, Zr::Kdt::Trace::FileType type, const std::string& fallback,
                  std::string& error)
{
    return Run([&] { return m_manager->LoadConfiguration(file, type); }, fallback, error);
}

bool Device::Save(const std::string& file, Zr::Kdt::Trace::FileType type, std::string& error)
{
    return Run([&] { return m_manager->SaveConfiguration(file, type); }, "the library saved nothing", error);
}

bool Device::ConnectLive(std::string& error)
{
    // Without a settings file the connection stands but the load after it
    // fails, and the library keeps its earlier text.
    return Run([&] { return m_manager->LoadConfigurationLive(); },
               "connected, but the settings file " + K4xFormat::SettingsFileName(m_cpu) +
                   " did not load: it is missing or malformed (k4xtrace set writes it)",
               error);
}

// The last-error text is never cleared, so a text that did not change is
// not the reason for this failure unless the operation always sets one.
bool Device::Run(const std::function<bool()>& operation, const std::string& fallback, std::string& error)
{
    const std::string before = m_manager->GetErrorMessage();
    if (operation()) return true;
    const std::string after = m_manager->GetErrorMessage();
    error = after != before || fallback.empty() ? after : fallback;
    if (error.empty()) error = "the library gave no reason";
    return false;
}

}  // namespace k4xtrace
