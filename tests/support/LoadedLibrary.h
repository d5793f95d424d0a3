// Libraries loaded at run time through the platform layer, as the library
// and its hosts load them: the built configuration library and the
// stand-ins of the simulated live systems under bin/sim/.
#pragma once

#include "DeviceConfigManager.h"
#include "Platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace k4xtest {

class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path) : m_module(ZR_KDT::platform::OpenLibrary(path.c_str())) {}
    ~LoadedLibrary() { ZR_KDT::platform::CloseLibrary(m_module); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    ZR_KDT::platform::ModuleHandle Module() const { return m_module; }
    // The export, null when missing.
    template <typename Fn>
    Fn Find(const char* symbol) const
    {
        return reinterpret_cast<Fn>(ZR_KDT::platform::FindSymbol(m_module, symbol));
    }

private:
    ZR_KDT::platform::ModuleHandle m_module;
};

// The built configuration library, loaded by file name as a debugger does.
class ConfigLibrary : public LoadedLibrary {
public:
    using Manager = std::unique_ptr<Zr::Kdt::Trace::CDeviceConfigManager, DestroyDeviceConfigManagerFn>;

    ConfigLibrary();
    // Null when the library or its factory is missing.
    Manager Create(Zr::Kdt::Trace::DeviceDescriptor* descriptor, uint64_t hostValue = 0) const;
};

// One stand-in library: folder "default", "no-create", ...; library
// "TraceFactory" or "NAVRO".
class StandIn : public LoadedLibrary {
public:
    StandIn(const char* folder, const char* library);
    // The stand-in's count of the named call (its SimCallCount export).
    long Count(const char* call) const;
};

// The folder of bin/sim/ in platform form.
std::string SimFolder(const char* folder);

// A descriptor for the CPU, the bytes the library must not read filled
// with noise.
Zr::Kdt::Trace::DeviceDescriptor MakeDescriptor(const char* cpuName, uint32_t first = 0, uint32_t second = 0);

}  // namespace k4xtest
