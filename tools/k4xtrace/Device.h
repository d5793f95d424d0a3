// One configuration manager of the library and the descriptor it was made
// for. The host owns the descriptor; the manager goes back to the library
// through its DestroyDeviceConfigManager.
#pragma once

#include "DeviceConfigManager.h"

#include <functional>
#include <string>

namespace k4xtrace {

using Zr::Kdt::Trace::CDeviceConfigManager;
using Zr::Kdt::Trace::CHostCallback;
using Zr::Kdt::Trace::DeviceDescriptor;
using Zr::Kdt::Trace::PropertyValue;

class Device {
public:
    Device(std::string cpu, DestroyDeviceConfigManagerFn destroy);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    DeviceDescriptor* Descriptor() { return &m_descriptor; }
    // Takes the manager made for Descriptor(); false for none.
    bool Attach(CDeviceConfigManager* manager);

    const std::string& Cpu() const { return m_cpu; }
    CDeviceConfigManager& Manager() { return *m_manager; }

    // The error the manager reported while it loaded the settings file
    // during construction ("" when there was none).
    const std::string& ConstructionError() const { return m_constructionError; }

    // Each runs one operation; on failure error holds the library's text
    // for it, or a reason of the tool's when the library gave none.
    bool Get(const std::string& name, PropertyValue& value, std::string& error);
    bool Set(const std::string& name, const PropertyValue& value, std::string& error);
    bool Load(const std::string& file, Zr::Kdt::Trace::FileType type, const std::string& fallback, std::string& error);
    bool Save(const std::string& file, Zr::Kdt::Trace::FileType type, std::string& error);
    bool ConnectLive(std::string& error);

private:
    bool Run(const std::function<bool()>& operation, const std::string& fallback, std::string& error);

    std::string m_cpu;
    DeviceDescriptor m_descriptor{};
    DestroyDeviceConfigManagerFn m_destroy;
    CDeviceConfigManager* m_manager = nullptr;
    std::string m_constructionError;
};

}  // namespace k4xtrace
