// The configuration library, loaded at run time by file name the way a
// debugger loads it, and the managers it makes.
#pragma once

#include "Device.h"
#include "Platform.h"

#include <memory>
#include <string>

namespace k4xtrace {

class ConfigLibrary {
public:
    ConfigLibrary() = default;
    ~ConfigLibrary();
    ConfigLibrary(const ConfigLibrary&) = delete;
    ConfigLibrary& operator=(const ConfigLibrary&) = delete;

    // Loads the library and looks up its two exports; false with the
    // reason in error.
    bool Open(const std::string& path, std::string& error);

    // A manager for the CPU, or null with the reason in error. Every
    // device must be gone before the library is.
    std::unique_ptr<Device> CreateDevice(const std::string& cpu, std::string& error);

    // The version that the loaded file carries, or "unknown".
    std::string Version() const;

private:
    ZR_KDT::platform::ModuleHandle m_module = nullptr;
    CreateDeviceConfigManagerFn m_create = nullptr;
    DestroyDeviceConfigManagerFn m_destroy = nullptr;
};

// The library that sits next to this program, or else the one in the
// library folder of an installation beside the program's folder.
std::string DefaultLibraryPath();

// This program's folder with its trailing separator; "" when unknown.
std::string ProgramFolder();

}  // namespace k4xtrace
