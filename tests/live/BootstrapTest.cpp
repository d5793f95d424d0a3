// The trace environment that the first manager of a process sets up.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "Platform.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>
#include <ostream>
#include <string>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

std::string Variable(const char* name) { return ZR_KDT::GetEnvironmentValue(name); }

std::string OwnId() { return std::to_string(ZR_KDT::platform::CurrentProcessId()); }

// The log file name for the id, whichever side of midnight the manager saw.
void ExpectOneLogFileFor(const LiveSession& session, const std::string& id, const std::string& before)
{
    const std::vector<std::string> files = session.LogFiles();
    ASSERT_EQ(files.size(), 1u);
    if (files[0] != before) {
        EXPECT_EQ(files[0], TodaysLogFileName(id));
    }
}

TEST(Bootstrap, UnsetDebugClientBecomesThisProcess)
{
    LiveSession session("default");
    // Inherited directory variables are overwritten, never read.
    ZR_KDT::SetEnvironmentValue("ZR_TRACE_DATA_DIR", "inherited");
    const std::string before = TodaysLogFileName(OwnId());
    Zr::Kdt::Trace::DeviceDescriptor descriptor = Descriptor("K4x_DSP0");
    K4xDeviceCfgMgr manager(&descriptor, 0);

    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), OwnId());
    ExpectOneLogFileFor(session, OwnId(), before);
    EXPECT_EQ(Variable("ZR_TRACE_LOGGING_DIR"), session.TraceDirectory());
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    std::string data = session.TraceDirectory();
    ZR_KDT::AppendPathComponent(data, "data");
    EXPECT_EQ(Variable("ZR_TRACE_DATA_DIR"), data);
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_TRUE(fs::is_directory(session.SettingsDirectory()));
    EXPECT_EQ(session.CountLog("M:Logger : trace user settings directory is " + session.SettingsDirectory()), 1);
}

// A debug-client id as inherited, and whether it names a running process.
struct DebugClient {
    const char* name;
    std::string value;  // after this process's own id
    bool kept;
};

void PrintTo(const DebugClient& client, std::ostream* out) { *out << client.name; }

class InheritedDebugClient : public ::testing::TestWithParam<DebugClient> {};

TEST_P(InheritedDebugClient, IsKeptOnlyWhenRunning)
{
    LiveSession session("default");
    const std::string inherited = GetParam().value;
    ZR_KDT::SetEnvironmentValue("ZR_TRACE_DEBUGCLIENT_PID", inherited.c_str());
    const std::string id = GetParam().kept ? inherited : OwnId();
    const std::string before = TodaysLogFileName(id);
    Zr::Kdt::Trace::DeviceDescriptor descriptor = Descriptor("K4x_DSP0");
    K4xDeviceCfgMgr manager(&descriptor, 0);
    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), id);
    ExpectOneLogFileFor(session, id, before);
}

// The running one is this process; the text after its number proves that the
// variable was kept rather than written anew. No process has the exited id:
// beyond Linux's pid_max, and not a multiple of 4 as Windows ids are.
INSTANTIATE_TEST_SUITE_P(Ids, InheritedDebugClient,
                         ::testing::Values(DebugClient{"Running", OwnId() + "-client", true},
                                           DebugClient{"Exited", "2147483646", false}, DebugClient{"Zero", "0", false},
                                           DebugClient{"Text", "debugger", false}),
                         CaseName<DebugClient>);

TEST(Bootstrap, SecondManagerReusesTheEnvironment)
{
    LiveSession session("default");
    Zr::Kdt::Trace::DeviceDescriptor descriptor = Descriptor("K4x_DSP0");
    {
        K4xDeviceCfgMgr first(&descriptor, 0);
    }
    const std::string settings = Variable("ZR_TRACE_SETTINGS_DIR");
    const std::string other = session.NewFolder("other-profile");
    ZR_KDT::SetEnvironmentValue("USERPROFILE", other.c_str());
    ZR_KDT::SetEnvironmentValue("ZR_TRACE_DEBUGCLIENT_PID", "debugger");

    K4xDeviceCfgMgr second(&descriptor, 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), settings);
    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), "debugger");
    EXPECT_FALSE(fs::exists(fs::path(other) / ".ZR-trace"));
    // One logger for the process: its opening lines are written once.
    EXPECT_EQ(session.LogFiles().size(), 1u);
    EXPECT_EQ(session.CountLogStarting("M:Logger : trace user settings directory is "), 1);
    EXPECT_EQ(ZR_KDT::uLogManager::Instance().m_loggers.size(), 1u);
}

TEST(Bootstrap, ReleasedLoggingStartsAgainWithTheNextManager)
{
    LiveSession session("default");
    Zr::Kdt::Trace::DeviceDescriptor descriptor = Descriptor("K4x_DSP0");
    {
        K4xDeviceCfgMgr first(&descriptor, 0);
    }
    ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
    log.Release();
    EXPECT_EQ(log.m_nLevel.load(), 0);
    EXPECT_EQ(log.m_pLogger.load(), nullptr);
    EXPECT_TRUE(log.m_loggers.empty());
    log.Release();

    K4xDeviceCfgMgr second(&descriptor, 0);
    EXPECT_EQ(log.m_nLevel.load(), 1);
    EXPECT_EQ(session.LogFiles().size(), 1u);
    EXPECT_EQ(session.CountLogStarting("M:Logger : trace user settings directory is "), 2);
}

// Managers come and go on one thread while others log, and the loggers are
// released under their feet: every line lands whole in the one log or is
// dropped. Meant for the tsan preset as much as for the others.
TEST(Bootstrap, ManagersAndReleaseWhileOtherThreadsLog)
{
    LiveSession session("default");
    Zr::Kdt::Trace::DeviceDescriptor descriptor = Descriptor("K4x_DSP0");
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int i = 0; i < 3; ++i) {
        writers.emplace_back([&stop] {
            while (!stop) ZR_KDT::LogProgress("DCM: writer line");
        });
    }
    for (int i = 0; i < 20; ++i) {
        K4xDeviceCfgMgr manager(&descriptor, 0);
    }
    ZR_KDT::uLogManager::Instance().Release();
    stop = true;
    for (std::thread& writer : writers) writer.join();

    const std::vector<std::string> lines = session.LogMessages();
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        EXPECT_TRUE(line == "M:DCM: writer line" || line.rfind("M:Logger : trace ", 0) == 0) << line;
    }
}

TEST(Bootstrap, WithoutProfileConstructionSucceedsAndRetriesLater)
{
    LiveSession session("default");
    UnsetEnvironment("USERPROFILE");
    UnsetEnvironment("HOME");  // the POSIX stand-in for USERPROFILE
    Zr::Kdt::Trace::DeviceDescriptor descriptor = Descriptor("K4x_DSP0");
    {
        K4xDeviceCfgMgr manager(&descriptor, 0);
        Zr::Kdt::Trace::PropertyValue value;
        EXPECT_TRUE(manager.GetProperty("Trace Mode", value));
        EXPECT_EQ(manager.GetErrorMessage(), "");
    }
    ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
    EXPECT_EQ(log.m_pLogger.load(), nullptr);
    EXPECT_EQ(log.m_nLevel.load(), 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), "");
    // What was done before the failure stays.
    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), OwnId());

    ZR_KDT::SetEnvironmentValue("USERPROFILE", session.Profile().c_str());
    K4xDeviceCfgMgr manager(&descriptor, 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    EXPECT_NE(log.m_pLogger.load(), nullptr);
    EXPECT_EQ(log.m_nLevel.load(), 1);
    EXPECT_EQ(session.LogFiles().size(), 1u);
}

}  // namespace
}  // namespace k4xtest
