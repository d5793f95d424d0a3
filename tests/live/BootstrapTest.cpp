// The trace environment that the first manager of a process sets up and
// later ones reuse, and the logging it starts again after a release.
#include "FixedClock.h"
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "LoadedLibrary.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

std::string Variable(const char* name) { return ZR_KDT::GetEnvironmentValue(name); }

std::string OwnId() { return std::to_string(ZR_KDT::platform::CurrentProcessId()); }

const char kSettingsLine[] = "M:Logger : trace user settings directory is ";

// A debug-client id as inherited ("": unset), and whether it is kept.
struct DebugClient {
    const char* name;
    std::string value;
    bool kept;
};

void PrintTo(const DebugClient& row, std::ostream* out) { *out << row.name; }

class InheritedDebugClient : public ::testing::TestWithParam<DebugClient> {};

TEST_P(InheritedDebugClient, IsKeptOnlyWhenRunning)
{
    LiveSession session("default");
    FixedClock clock;
    if (!GetParam().value.empty()) session.SetVariable("ZR_TRACE_DEBUGCLIENT_PID", GetParam().value.c_str());
    // Inherited directory variables are overwritten, never read.
    session.SetVariable("ZR_TRACE_DATA_DIR", "inherited");
    const std::string id = GetParam().kept ? GetParam().value : OwnId();
    auto descriptor = MakeDescriptor("K4x_DSP0");
    K4xDeviceCfgMgr manager(&descriptor, 0);

    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), id);
    // Month, day and year without leading zeros.
    EXPECT_EQ(session.Log().Files(), std::vector<std::string>{"zr_trace_log_372026_" + id + ".txt"});
    EXPECT_EQ(Variable("ZR_TRACE_LOGGING_DIR"), session.TraceDirectory());
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    const std::string data = session.TraceDirectory() + ZR_KDT::platform::kPathSeparator + "data";
    EXPECT_EQ(Variable("ZR_TRACE_DATA_DIR"), data);
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_TRUE(fs::is_directory(session.SettingsDirectory()));
    EXPECT_EQ(session.Log().Count(kSettingsLine + session.SettingsDirectory()), 1);

    // A second manager reuses the environment.
    const std::string other = session.NewFolder("other-profile");
    for (const char* profile : {"USERPROFILE", "HOME"}) session.SetVariable(profile, other.c_str());
    session.SetVariable("ZR_TRACE_DEBUGCLIENT_PID", "debugger");
    K4xDeviceCfgMgr second(&descriptor, 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), "debugger");
    EXPECT_FALSE(fs::exists(session.Path("other-profile/.ZR-trace")));
    EXPECT_EQ(session.Log().Files().size(), 1u);
}

// The running one is this process; the text after its number proves that the
// variable was kept rather than written anew. No process has the exited id:
// beyond Linux's pid_max, and not a multiple of 4 as Windows ids are.
INSTANTIATE_TEST_SUITE_P(Ids, InheritedDebugClient,
                         ::testing::Values(DebugClient{"Unset", "", false},
                                           DebugClient{"Running", OwnId() + "-client", true},
                                           DebugClient{"Exited", "2147483646", false}, DebugClient{"Zero", "0", false},
                                           DebugClient{"Text", "debugger", false}),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Managers come and go while other threads log and the loggers are released
// under their feet: every line lands whole in the one log or is dropped, and
// the next manager starts logging again. Meant for the tsan preset as well.
TEST(Bootstrap, ReleaseWhileOtherThreadsLogThenStartAgain)
{
    LiveSession session("default");
    auto descriptor = MakeDescriptor("K4x_DSP0");
    ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int i = 0; i < 3; ++i) {
        writers.emplace_back([&stop] {
            while (!stop) ZR_KDT::LogProgress("DCM: writer line");
        });
    }
    for (int i = 0; i < 20; ++i) K4xDeviceCfgMgr(&descriptor, 0);
    log.Release();
    stop = true;
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(log.m_nLevel.load(), 0);
    log.Release();
    const TraceLog written = session.Log();
    ASSERT_FALSE(written.Messages().empty());
    for (const std::string& line : written.Messages())
        EXPECT_TRUE(line == "M:DCM: writer line" || line.rfind("M:Logger : trace ", 0) == 0) << line;

    K4xDeviceCfgMgr second(&descriptor, 0);
    EXPECT_EQ(log.m_nLevel.load(), 1);
    EXPECT_EQ(session.Log().Files().size(), 1u);
    EXPECT_EQ(session.Log().CountStarting(kSettingsLine), 2);
}

TEST(Bootstrap, WithoutProfileConstructionSucceedsAndRetriesLater)
{
    LiveSession session("default");
    session.SetVariable("USERPROFILE", nullptr);
    session.SetVariable("HOME", nullptr);  // the POSIX stand-in for USERPROFILE
    auto descriptor = MakeDescriptor("K4x_DSP0");
    EXPECT_EQ(K4xDeviceCfgMgr(&descriptor, 0).GetErrorMessage(), "");
    ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
    EXPECT_EQ(log.m_nLevel.load(), 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), "");
    // What was done before the failure stays.
    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), OwnId());

    session.SetVariable("USERPROFILE", session.Profile().c_str());
    K4xDeviceCfgMgr manager(&descriptor, 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    EXPECT_EQ(log.m_nLevel.load(), 1);
    EXPECT_EQ(session.Log().Files().size(), 1u);
}

}  // namespace
}  // namespace k4xtest
