#include "Device.h"

#include <utility>

namespace k4xhost {

Device::Device(const std::string& cpu, uint32_t first, uint32_t second, DestroyDeviceConfigManagerFn destroy)
    : m_cpu(cpu), m_destroy(destroy)
{
    m_descriptor.cpuName = m_cpu.c_str();
    m_descriptor.firstNumber = first;
    m_descriptor.secondNumber = second;
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
    m_properties = LearnProperties(*m_manager);
    return true;
}

bool Device::Load(const std::string& file, int32_t fileType, std::string& error)
{
    return Run([&] { return m_manager->LoadConfiguration(file, fileType); }, error);
}

bool Device::Save(const std::string& file, uint32_t fileType, std::string& error)
{
    return Run([&] { return m_manager->SaveConfiguration(file, fileType); }, error);
}

bool Device::ConnectLive(std::string& error)
{
    return Run([&] { return m_manager->LoadConfigurationLive(); }, error);
}

// A text that the operation did not change is an earlier failure's.
bool Device::Run(const std::function<bool()>& operation, std::string& error)
{
    const std::string before = m_manager->GetErrorMessage();
    if (operation()) return true;
    std::string after = m_manager->GetErrorMessage();
    error = after != before ? std::move(after) : std::string();
    return false;
}

}  // namespace k4xhost
