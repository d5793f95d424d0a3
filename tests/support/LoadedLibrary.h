// Libraries loaded at run time through the platform layer, as the library
// and its hosts load them, and the simulated live systems under bin/sim/.
#pragma once

#include "DeviceConfigManager.h"
#include "Platform.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace k4xtest {

class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path) : m_module(k4xplatform::OpenLibrary(path.c_str())) {}
    ~LoadedLibrary() { k4xplatform::CloseLibrary(m_module); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // The export, null when missing.
    template <typename Fn>
    Fn Find(const char* symbol) const
    {
        return reinterpret_cast<Fn>(k4xplatform::FindSymbol(m_module, symbol));
    }

private:
    k4xplatform::ModuleHandle m_module;
};

// The folder of bin/sim/ ("default", "no-create", ...) in platform form.
std::string SimFolder(const char* folder);

// A descriptor for the CPU, the bytes the library must not read filled
// with noise.
inline Zr::Kdt::Trace::DeviceDescriptor MakeDescriptor(const char* cpuName, uint32_t first = 0, uint32_t second = 0)
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor;
    std::memset(static_cast<void*>(&descriptor), 0xA5, sizeof descriptor);
    descriptor.cpuName = cpuName;
    descriptor.firstNumber = first;
    descriptor.secondNumber = second;
    return descriptor;
}

}  // namespace k4xtest
