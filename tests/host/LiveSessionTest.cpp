// One live session driven by a host through the built library.
#include "LiveSession.h"
#include "LoadedLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

TEST(HostLiveSession, LoadLiveAskForOutFileDestroy)
{
    LiveSession session("default");
    session.WriteSettings("K4x_DSP0-TCfg.txt", "Trace Mode = 2\nTWP_Protocol = 0\n");
    ConfigLibrary library;
    ASSERT_TRUE(library.Usable());
    auto descriptor = MakeDescriptor("K4x_DSP0");
    auto manager = library.Create(&descriptor);
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

// The library's loggers go when it is unloaded: their file is closed, so it
// can be removed on every system.
TEST(HostLiveSession, UnloadingTheLibraryClosesItsLog)
{
    LiveSession session(nullptr);
    {
        ConfigLibrary library;
        ASSERT_TRUE(library.Usable());
        auto descriptor = MakeDescriptor("K4x_DSP0");
        library.Create(&descriptor).reset();
        ASSERT_EQ(session.Log().Files().size(), 1u);
        EXPECT_FALSE(session.Log().Messages().empty());
    }
    const fs::path log = fs::path(session.TraceDirectory()) / session.Log().Files()[0];
    std::error_code error;
    // Where the system can tell, no descriptor of this process names it.
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error))
        EXPECT_NE(fs::read_symlink(entry.path(), error), log);
    EXPECT_TRUE(fs::remove(log, error)) << error.message();
}

}  // namespace
}  // namespace k4xtest
