// The configuration library, loaded at run time by file the way a debugger
// loads it, its two exports, and the managers it makes.
#pragma once

#include "Device.h"
#include "HostPlatform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace k4xhost {

struct Exports {
    CreateDeviceConfigManagerFn create = nullptr;
    DestroyDeviceConfigManagerFn destroy = nullptr;
};

// The reason why the load of the library file at path that has just failed
// failed, with the system's error code.
std::string LoadFailure(const std::string& path);

// Both exports of the library loaded from path; false, with the reason in
// error, when either is missing.
bool FindExports(k4xplatform::ModuleHandle module, const std::string& path, Exports& exports, std::string& error);

// The folder of the module that holds this code (the program, or the C
// interface library), with its trailing separator, as text for messages;
// "" when it cannot be told.
std::string ThisModuleFolder();

class ConfigLibrary {
public:
    ConfigLibrary() = default;
    ~ConfigLibrary() { Close(); }
    ConfigLibrary(const ConfigLibrary&) = delete;
    ConfigLibrary& operator=(const ConfigLibrary&) = delete;

    // Each loads the library and looks up its two exports; false, with the
    // reason in error, when either fails. Open takes the file's path.
    bool Open(const std::string& path, std::string& error);
    // OpenBeside takes the library file in the folder of the module that
    // holds this code (the program, or the C interface library), or else,
    // when only that one exists, the one in otherFolder below that folder
    // ("" for none, or a relative path ending in a separator).
    bool OpenBeside(const char* otherFolder, std::string& error);

    // Unloads the library; every device it made must be gone.
    void Close();

    // A manager for the CPU, with the two numbers of its descriptor; null,
    // with the reason in error, when the library made none.
    std::unique_ptr<Device> CreateDevice(const std::string& cpu, uint32_t first, uint32_t second,
                                         std::string& error) const;

    // The file loaded, as text for messages.
    const std::string& Path() const { return m_path; }
    // The version that the loaded file carries; "" for none.
    std::string Version() const;

private:
    bool Take(k4xplatform::ModuleHandle module, std::string& error);

    k4xplatform::ModuleHandle m_module = nullptr;
    Exports m_exports;
    std::string m_path;
};

}  // namespace k4xhost
