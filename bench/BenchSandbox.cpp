#include "BenchSandbox.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "K4xDeviceCfgMgr.h"
#include "Platform.h"
#include "TraceVariables.h"
#include "uEnvironment.h"

namespace k4xbench {

namespace {

std::filesystem::path g_root;

[[noreturn]] void Die(const std::string& what)
{
    std::fprintf(stderr, "k4x bench: %s\n", what.c_str());
    std::exit(2);
}

}  // namespace

void CreateSandbox()
{
    // The process id padded to seven digits (the largest a Linux process id
    // has), so that the paths in the sandbox have the same length in every
    // run: their lengths show in the instruction counts.
    char name[32];
    std::snprintf(name, sizeof name, "k4x-bench-%07llu",
                  static_cast<unsigned long long>(k4xplatform::CurrentProcessId()));
    g_root = std::filesystem::temp_directory_path() / name;
    std::error_code error;
    std::filesystem::remove_all(g_root, error);
    if (!std::filesystem::create_directories(g_root, error)) Die("cannot create " + g_root.string());
    ZR_KDT::SetEnvironmentValue("USERPROFILE", g_root.string().c_str());
    // A log would measure the disk, not the code under test.
    ZR_KDT::SetEnvironmentValue(ZR_KDT::kLoggingVariable, "0");
}

void RemoveSandbox()
{
    std::error_code error;
    if (!g_root.empty()) std::filesystem::remove_all(g_root, error);
}

std::string SandboxPath(const std::string& name) { return (g_root / name).string(); }

std::string SettingsPath(const std::string& name)
{
    std::string path = ZR_KDT::GetEnvironmentValue(ZR_KDT::kSettingsDirectoryVariable);
    if (path.empty()) Die("no settings directory: no manager was created yet");
    ZR_KDT::AppendPathComponent(path, name.c_str());
    return path;
}

std::string CpuSettingsName() { return std::string(kCpuName) + "-TCfg.txt"; }

bool SaveCpuSettings()
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor = MakeDescriptor(kCpuName);
    K4xDeviceCfgMgr manager(&descriptor, 0);
    if (manager.SaveConfiguration(CpuSettingsName(), 1)) return true;
    std::fprintf(stderr, "k4x bench: cannot save %s: %s\n", CpuSettingsName().c_str(),
                 manager.GetErrorMessage().c_str());
    return false;
}

Zr::Kdt::Trace::DeviceDescriptor MakeDescriptor(const char* cpuName)
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor{};
    descriptor.cpuName = cpuName;
    return descriptor;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) Die("cannot create " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) Die("cannot write " + path);
}

}  // namespace k4xbench
