// One live session driven by a host through the built library, against the
// default simulated system.
#include "HostLibrary.h"
#include "uEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

// A fresh profile for this process.
fs::path NewProfile()
{
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path profile = fs::temp_directory_path() / ("k4x-host-live-" + std::to_string(tick));
    fs::create_directories(profile);
    ZR_KDT::SetEnvironmentValue("USERPROFILE", profile.string().c_str());
    return profile;
}

// Whether this process holds the file open, where the system can tell.
bool HeldOpen(const fs::path& file)
{
    const fs::path descriptors = "/proc/self/fd";
    if (ZR_KDT::platform::kPathSeparator != '/' || !fs::is_directory(descriptors)) return false;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(descriptors, error)) {
        if (fs::read_symlink(entry.path(), error) == file) return true;
    }
    return false;
}

TEST(HostLiveSession, LoadLiveAskForOutFileDestroy)
{
    const fs::path profile = NewProfile();
    std::string simFolder = K4X_SIM_ROOT;
    ZR_KDT::AppendPathComponent(simFolder, "default");
    ZR_KDT::SetEnvironmentValue("PATH", simFolder.c_str());
    ZR_KDT::platform::SetEnvironment("K4X_SIM_TARGET", nullptr);
    {
        HostLibrary library;
        ASSERT_TRUE(library.Loaded());
        DeviceDescriptor descriptor = MakeDescriptor("K4x_DSP0");
        auto manager = library.Create(&descriptor);
        ASSERT_NE(manager, nullptr);
        // The device's settings file, where the library published its folder.
        const fs::path settings = ZR_KDT::GetEnvironmentValue("ZR_TRACE_SETTINGS_DIR");
        std::ofstream(settings / "K4x_DSP0-TCfg.txt") << "Trace Mode = 2\nTWP_Protocol = 0\n";

        ASSERT_TRUE(manager->LoadConfigurationLive()) << manager->GetErrorMessage();
        Zr::Kdt::Trace::PropertyValue value;
        ASSERT_TRUE(manager->GetProperty("TWP_Protocol", value));
        EXPECT_TRUE(value.boolValue);  // the target's answer beats the file
        ASSERT_TRUE(manager->GetProperty("Trace Mode", value));
        EXPECT_EQ(value.intValue, 2);
        std::string outFile;
        EXPECT_TRUE(manager->GetOutFile("K4x_DSP1", outFile));
        EXPECT_EQ(outFile, "apps/K4x_DSP1.out");
    }
    std::error_code ignored;  // the log file may still be open on Windows
    fs::remove_all(profile, ignored);
}

// The library's loggers go when it is unloaded: their file is closed, and a
// host that loads it again and again keeps nothing of them.
TEST(HostLiveSession, UnloadingTheLibraryClosesItsLog)
{
    const fs::path profile = NewProfile();
    ZR_KDT::SetEnvironmentValue("ZR_TRACE_LOGGING", "1");
    fs::path log;
    {
        HostLibrary library;
        ASSERT_TRUE(library.Loaded());
        DeviceDescriptor descriptor = MakeDescriptor("K4x_DSP0");
        library.Create(&descriptor).reset();
        const fs::path trace = ZR_KDT::GetEnvironmentValue("ZR_TRACE_LOGGING_DIR");
        for (const auto& entry : fs::directory_iterator(trace)) {
            if (entry.path().filename().string().rfind("zr_trace_log_", 0) == 0) log = entry.path();
        }
        ASSERT_FALSE(log.empty());
        EXPECT_GT(fs::file_size(log), 0u);
    }
    EXPECT_FALSE(HeldOpen(log));
    std::error_code error;
    EXPECT_TRUE(fs::remove(log, error)) << error.message();
    fs::remove_all(profile, error);
}

}  // namespace
}  // namespace k4xtest
