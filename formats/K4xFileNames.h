// The names of the files that hold a K4x configuration.
#pragma once

#include <cstdint>
#include <string>

namespace k4xformat {

// What a save of the file type (text, .dcm or TDF) does with the name it is
// given: "/" becomes "-" and a blank "_", and ".dcm" follows for the .dcm
// type. A TDF path keeps "/" where "/" is the platform's separator.
// "a b/c" => "a_b-c", and "a_b-c.dcm" for the .dcm type.
std::string SavedFileName(std::string name, uint32_t fileType);

// The device's settings file: the CPU name as a text save rewrites it, then
// "-TCfg.txt". "K4x dev/1" => "K4x_dev-1-TCfg.txt".
std::string SettingsFileName(const std::string& cpuName);

// A file of the settings directory: the directory, the platform's
// separator, the name.
std::string SettingsFilePath(const std::string& directory, const std::string& name);

}  // namespace k4xformat
