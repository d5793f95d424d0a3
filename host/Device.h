// One configuration manager of the library, for one CPU, with the
// descriptor it was made for. This object owns the descriptor, whose
// address the manager keeps, and hands the manager back to the library's
// DestroyDeviceConfigManager. ConfigLibrary makes it.
//
// The library's last-error text is never cleared, and some failures leave
// it as it was (a load of a missing file does): each operation below puts
// into error the library's text for its own failure only, and "" when the
// failure did not set one, so that the host says why itself.
#pragma once

#include "DeviceConfigManager.h"
#include "PropertyList.h"

#include <cstdint>
#include <functional>
#include <string>

namespace k4xhost {

using Zr::Kdt::Trace::CDeviceConfigManager;
using Zr::Kdt::Trace::PropertyValue;

class Device {
public:
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    const std::string& Cpu() const { return m_cpu; }
    CDeviceConfigManager& Manager() { return *m_manager; }

    // The library's text after construction, which loads the settings
    // file ("" when that load set none).
    const std::string& ConstructionError() const { return m_constructionError; }

    // The properties that the manager answers, with their types.
    const PropertyList& Properties() const { return m_properties; }

    // A name the library does not know fails with its own text: get and
    // set set one on every failure. Inline: they are on the C interface's
    // hot path.
    bool Get(const std::string& name, PropertyValue& value, std::string& error)
    {
        if (m_manager->GetProperty(name, value)) return true;
        error = m_manager->GetErrorMessage();
        return false;
    }
    bool Set(const std::string& name, const PropertyValue& value, std::string& error)
    {
        if (Zr::Kdt::Trace::AsPropertySetter(m_manager)->SetProperty(name, value)) return true;
        error = m_manager->GetErrorMessage();
        return false;
    }

    bool Load(const std::string& file, int32_t fileType, std::string& error);
    bool Save(const std::string& file, uint32_t fileType, std::string& error);
    // Connects to the live target and reloads the settings file; without
    // one the connection stands, the load fails and sets no text.
    bool ConnectLive(std::string& error);

private:
    friend class ConfigLibrary;
    Device(const std::string& cpu, uint32_t first, uint32_t second, DestroyDeviceConfigManagerFn destroy);
    // Takes the manager made for m_descriptor; false for none.
    bool Attach(CDeviceConfigManager* manager);
    bool Run(const std::function<bool()>& operation, std::string& error);

    std::string m_cpu;
    Zr::Kdt::Trace::DeviceDescriptor m_descriptor{};
    DestroyDeviceConfigManagerFn m_destroy;
    CDeviceConfigManager* m_manager = nullptr;
    std::string m_constructionError;
    PropertyList m_properties;
};

}  // namespace k4xhost
