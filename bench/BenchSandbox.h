// A throw-away user profile for the benchmarks: the trace environment of the
// managers they create lands in it, and so do their data files.
#pragma once

#include <cstdint>
#include <string>

#include "DeviceConfigManager.h"

namespace k4xbench {

// CPU whose settings file the benchmarks load.
constexpr const char* kCpuName = "K4x_Core0";

// Makes a fresh directory under the system's temporary directory, makes it
// the user profile and switches logging off. Call before the first manager.
void CreateSandbox();

// Removes the sandbox and everything in it.
void RemoveSandbox();

// A file directly in the sandbox.
std::string SandboxPath(const std::string& name);

// A file in the settings directory that the first manager published.
std::string SettingsPath(const std::string& name);

// The settings file of kCpuName.
std::string CpuSettingsName();

// Creates a manager for kCpuName (the first one sets up the trace
// environment) and saves its settings file, as a configured device has one.
bool SaveCpuSettings();

// A descriptor for cpuName, which must outlive it.
Zr::Kdt::Trace::DeviceDescriptor MakeDescriptor(const char* cpuName);

// Writes bytes to path, replacing it; ends the program on failure, since a
// benchmark on a half-written file measures nothing.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace k4xbench
