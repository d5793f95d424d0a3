// The live session in process: the trace environment that the first manager
// sets up and later ones reuse, the trace factory with its channel server,
// the channel driver and the output-file lookup, each against a simulated
// system of bin/sim/. An outside library's throw never reaches the host,
// unless the host's own callback or the channel server throws something
// other than the tools library's error.
#include "ConfigValues.h"
#include "FixedClock.h"
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "LoadedLibrary.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace k4xtest {
namespace {

using namespace Zr::Kdt::Trace;

std::string Variable(const char* name) { return ZR_KDT::GetEnvironmentValue(name); }

std::string OwnId() { return std::to_string(k4xplatform::CurrentProcessId()); }

// Names each test of a table after its row.
struct RowName {
    template <typename Info>
    std::string operator()(const Info& info) const
    {
        return info.param.name;
    }
};

// A debug-client id as inherited ("": unset), whether it is kept, and
// whether a first construction without a profile comes before.
struct DebugClient {
    const char* name;
    std::string value;
    bool kept;
    bool retried;
};

class Bootstrap : public ::testing::TestWithParam<DebugClient> {};

// The bootstrap publishes the trace folders, keeps a running debug client's
// id and names the log after it; a failed one is run again by the next
// construction, and a done one is not.
TEST_P(Bootstrap, KeepsARunningDebugClientAndRunsOnceItSucceeds)
{
    const DebugClient& row = GetParam();
    LiveSession session("default");
    FixedClock clock;
    if (!row.value.empty()) session.SetVariable("ZR_TRACE_DEBUGCLIENT_PID", row.value.c_str());
    // Inherited directory variables are overwritten, never read.
    session.SetVariable("ZR_TRACE_DATA_DIR", "inherited");
    const std::string id = row.kept ? row.value : OwnId();
    auto descriptor = MakeDescriptor("K4x_DSP0");
    if (row.retried) {
        for (const char* profile : {"USERPROFILE", "HOME"}) session.SetVariable(profile, nullptr);
        EXPECT_EQ(K4xDeviceCfgMgr(&descriptor, 0).GetErrorMessage(), "");
        EXPECT_EQ(ZR_KDT::uLogManager::Instance().m_nLevel.load(), 0);
        EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), "");
        session.SetVariable("USERPROFILE", session.Profile().c_str());
    }
    K4xDeviceCfgMgr manager(&descriptor, 0);

    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), id);
    // Month, day and year without leading zeros.
    EXPECT_EQ(session.Log().Files(), std::vector<std::string>{"zr_trace_log_372026_" + id + ".txt"});
    EXPECT_EQ(Variable("ZR_TRACE_LOGGING_DIR"), session.TraceDirectory());
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    EXPECT_EQ(Variable("ZR_TRACE_DATA_DIR"), (std::filesystem::path(session.TraceDirectory()) / "data").string());

    // A second manager reuses the environment.
    session.SetVariable("USERPROFILE", session.NewFolder("other-profile").c_str());
    session.SetVariable("ZR_TRACE_DEBUGCLIENT_PID", "debugger");
    K4xDeviceCfgMgr second(&descriptor, 0);
    EXPECT_EQ(Variable("ZR_TRACE_SETTINGS_DIR"), session.SettingsDirectory());
    EXPECT_EQ(Variable("ZR_TRACE_DEBUGCLIENT_PID"), "debugger");
}

// The running one is this process; the text after its number proves that the
// variable was kept rather than written anew. No process has the exited id:
// beyond Linux's pid_max, and not a multiple of 4 as Windows ids are.
const DebugClient kClients[] = {
    // name                 value                kept   retried
    {"Unset",               "",                  false, false},
    {"Running",             OwnId() + "-client", true,  false},
    {"Exited",              "2147483646",        false, false},
    {"UnsetAfterNoProfile", "",                  false, true},
};
INSTANTIATE_TEST_SUITE_P(Ids, Bootstrap, ::testing::ValuesIn(kClients), RowName());

int g_clockReadings = 0;

// Month, day and year of the log's name are three clock readings in that
// order; here each reading is one month, one day and one year after the last.
TEST(BootstrapClock, ReadsMonthThenDayThenYearAfresh)
{
    LiveSession session("default");
    FixedClock clock;
    k4xplatform::SystemCalls().localTime = [] {
        k4xplatform::LocalTime time = kFixedTime;
        time.month += g_clockReadings;
        time.day += g_clockReadings;
        time.year += g_clockReadings++;
        return time;
    };
    auto descriptor = MakeDescriptor("K4x_DSP0");
    K4xDeviceCfgMgr manager(&descriptor, 0);
    EXPECT_EQ(session.Log().Files(), std::vector<std::string>{"zr_trace_log_382028_" + OwnId() + ".txt"});
}

// Managers come and go while other threads log and the loggers are released under their feet: every line lands whole
// in the one log or is dropped, none mixed with another's, each thread's first 100 lines, written while a manager
// holds the log, all land, and the next manager starts logging again. Meant for the tsan preset as well.
TEST(LoggerRelease, WhileOtherThreadsLogThenStartAgain)
{
    LiveSession session("default");
    auto descriptor = MakeDescriptor("K4x_DSP0");
    ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0}, ready{0};
    std::vector<std::thread> writers;
    {
        K4xDeviceCfgMgr holder(&descriptor, 0);
        for (int i = 0; i < 3; ++i) {
            writers.emplace_back([&] {
                for (int n = 0; n < 100; ++n, ++calls) ZR_KDT::LogProgress("DCM: writer line");
                ++ready;
                for (; !stop; ++calls) ZR_KDT::LogProgress("DCM: writer line");
            });
        }
        while (ready < 3) std::this_thread::yield();
    }
    for (int i = 0; i < 20; ++i) K4xDeviceCfgMgr(&descriptor, 0);
    log.Release(std::chrono::seconds(1));
    stop = true;
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(log.m_nLevel.load(), 0);
    const TraceLog written = session.Log();
    for (const std::string& line : written.Messages())
        EXPECT_TRUE(line == "M:DCM: writer line" || line.rfind("M:Logger : trace ", 0) == 0) << line;
    EXPECT_GE(written.Count("M:DCM: writer line"), 300);
    EXPECT_LE(written.Count("M:DCM: writer line"), calls.load());

    K4xDeviceCfgMgr second(&descriptor, 0);
    EXPECT_EQ(log.m_nLevel.load(), 1);
    EXPECT_EQ(session.Log().CountStarting("M:Logger : trace user settings directory is "), 2);
}

// A stand-in of bin/sim/ ("TraceFactory" or "NAVRO"; none for a null
// folder) and the calls it has seen.
struct StandIn : LoadedLibrary {
    StandIn(const char* folder, const char* library)
        : LoadedLibrary(SimFolder(folder != nullptr ? folder : "none") + "/" + library)
    {
    }
    long Count(const char* call) const
    {
        const auto count = Find<long (*)(const char*)>("SimCallCount");
        return count != nullptr ? count(call) : 0;
    }
    // "CreateTraceFactory 1; CreateChannelServer 2; ": the calls seen, in
    // the order of a connection's life.
    std::string Calls() const
    {
        std::string calls;
        for (const char* call : {"CreateTraceFactory", "CreateChannelServer", "DestroyChannelServer",
                                 "DestroyTraceFactory", "ConnectChannelServer", "OpenDriverInstance", "QueryProperty",
                                 "DisconnectChannelServer"}) {
            if (Count(call) > 0) calls += call + (" " + std::to_string(Count(call)) + "; ");
        }
        return calls;
    }
};

// Two live loads, then the manager's end, against a simulated system: its
// trace factory (whose server the output-file lookup asks) and its channel
// driver (which gives the TWP source). Only K4x_DSP0 has a settings file,
// written once the manager is made; it says TWP 1.
struct LiveLoad {
    const char* name;
    const char* folder;      // on PATH; null: none
    const char* cpu;         // the descriptor's; null: no descriptor
    const char* target;      // the simulated system's description
    const char* error;       // the error text after each load
    bool loads;              // each load's result
    bool twp;                // the TWP source after the loads
    const char* failure;     // logged by each load, "" for none
    const char* factory;     // the calls of the trace factory library, its end included
    const char* driver;      // the calls of the channel driver
};

class LiveConnection : public ::testing::TestWithParam<LiveLoad> {};

TEST_P(LiveConnection, LoadsOrFailsAndReleasesWhatItGot)
{
    const LiveLoad& row = GetParam();
    LiveSession session(row.folder);
    session.UseTarget(row.target);
    const StandIn factory(row.folder, "TraceFactory");
    const StandIn driver(row.folder, "NAVRO");
    auto descriptor = MakeDescriptor(row.cpu);
    auto manager = std::make_unique<K4xDeviceCfgMgr>(row.cpu != nullptr ? &descriptor : nullptr, 0);
    session.WriteFile("profile/.ZR-trace/settings/K4x_DSP0-TCfg.txt", "TWP_Protocol = 1\n");
    for (int load = 0; load < 2; ++load) {
        EXPECT_EQ(manager->LoadConfigurationLive(), row.loads);
        EXPECT_EQ(manager->GetErrorMessage(), row.error);
    }
    EXPECT_EQ(Capture(*manager).twp, row.twp);
    manager.reset();
    EXPECT_EQ(factory.Calls(), row.factory);
    EXPECT_EQ(driver.Calls(), row.driver);
    const TraceLog log = session.Log();
    EXPECT_EQ(log.CountStarting(std::string("E:") + row.failure), *row.failure != '\0' ? 2 : 0);
    EXPECT_EQ(log.Count(std::string("M:K4xDeviceCfgMgr: Live m_bTwp_Source ") + (row.twp ? "true." : "false.")),
              row.loads ? 2 : 0);
    // Each load looks for the trace factory until its server opens; only an
    // opened server is destroyed at the end.
    EXPECT_EQ(log.Count("M:DCM: Loading factory DLL - TraceFactory "),
              row.cpu != nullptr ? 2 - factory.Count("DestroyChannelServer") : 0);
    EXPECT_EQ(log.Count("M:DCM: Destroying Channel Server "), factory.Count("DestroyChannelServer"));
    // Every creation of a server is logged as done or as failed.
    EXPECT_EQ(log.Count("M:stm DCM: Done -creating/Connecting Channel Server ") +
                  log.Count("E:STM DCM: Exception in creating Channel Server "),
              factory.Count("CreateChannelServer"));
    EXPECT_EQ(log.Count("M:K4xDeviceCfgMgr: ~K4xDeviceCfgMgr: Destroy Channel Driver DLL"),
              driver.Count("DisconnectChannelServer"));
}

const char kOpened[] = "CreateTraceFactory 1; CreateChannelServer 1; DestroyChannelServer 1; DestroyTraceFactory 1; ";
const char kConnected[] = "ConnectChannelServer 1; OpenDriverInstance 1; QueryProperty 2; DisconnectChannelServer 1; ";

// A trace factory without a server is never destroyed, nor one that may still
// hold its server. A load without its settings file stays connected and asks
// nothing. Without the disconnect export the driver's server is kept.
// Releases that throw end the manager quietly.
// clang-format off
const LiveLoad kLiveLoads[] = {
    // name                     folder           cpu         target                                         error                                            loads  twp    failure                                                         factory                                                                  driver
    {"TwpNumber",               "default",       "K4x_DSP0", "[twp-source]\nstatus = 0\ntext = 12abc\n",    "",                                              true,  true,  "",                                                             kOpened,                                                                 kConnected},
    {"TwpText",                 "default",       "K4x_DSP0", "[twp-source]\nstatus = 0\ntext = none\n",     "",                                              true,  false, "",                                                             kOpened,                                                                 kConnected},
    {"TwpNoValue",              "default",       "K4x_DSP0", "[twp-source]\nstatus = 3\ntext = 0\n",        "",                                              true,  true,  "",                                                             kOpened,                                                                 kConnected},
    {"QueryThrows",             "default",       "K4x_DSP0", "[faults]\nQueryProperty = throw\n",           "",                                              true,  false, "K4xDeviceCfgMgr LoadConfigurationLive: get TWP_SOURCE failed", kOpened,                                                                 kConnected},
    {"NoSettingsFile",          "default",       "K4x_DSP1", "",                                            "",                                              false, false, "",                                                             kOpened,                                                                 "ConnectChannelServer 1; OpenDriverInstance 1; DisconnectChannelServer 1; "},
    {"NoDescriptor",            "default",       nullptr,    "",                                            "",                                              false, false, "",                                                             "",                                                                      ""},
    {"NoLibraries",             nullptr,         "K4x_DSP0", "",                                            "Cannot load channel driver.",                   false, false, "",                                                             "",                                                                      ""},
    {"MissingConnectExport",    "no-connect",    "K4x_DSP0", "",                                            "Could not get channel driver proc address.",    false, false, "",                                                             kOpened,                                                                 ""},
    {"ConnectGivesNull",        "default",       "K4x_DSP0", "[faults]\nConnectChannelServer = null\n",     "Could not connect to channel driver instance.", false, false, "",                                                             kOpened,                                                                 "ConnectChannelServer 2; "},
    {"OpenGivesNull",           "default",       "K4x_DSP0", "[faults]\nOpenDriverInstance = null\n",       "Could not connect to channel driver instance.", false, false, "",                                                             kOpened,                                                                 "ConnectChannelServer 2; OpenDriverInstance 2; DisconnectChannelServer 1; "},
    {"OpenThrows",              "default",       "K4x_DSP0", "[faults]\nOpenDriverInstance = throw\n",      "Could not connect to channel driver instance.", false, false, "",                                                             kOpened,                                                                 "ConnectChannelServer 2; OpenDriverInstance 2; DisconnectChannelServer 1; "},
    {"MissingDisconnectExport", "no-disconnect", "K4x_DSP0", "",                                            "",                                              true,  true,  "",                                                             kOpened,                                                                 "ConnectChannelServer 1; OpenDriverInstance 1; QueryProperty 2; "},
    {"DisconnectThrows",        "default",       "K4x_DSP0", "[faults]\nDisconnectChannelServer = throw\n", "",                                              true,  true,  "",                                                             kOpened,                                                                 kConnected},
    {"CreateFactoryThrows",     "default",       "K4x_DSP0", "[faults]\nCreateTraceFactory = throw\n",      "",                                              true,  true,  "STM DCM: Exception in creating trace factory object ",         "CreateTraceFactory 2; ",                                                kConnected},
    {"CreateFactoryGivesNull",  "default",       "K4x_DSP0", "[faults]\nCreateTraceFactory = null\n",       "",                                              true,  true,  "",                                                             "CreateTraceFactory 2; ",                                                kConnected},
    {"CreateServerThrows",      "default",       "K4x_DSP0", "[faults]\nCreateChannelServer = throw\n",     "",                                              true,  true,  "STM DCM: Exception in creating Channel Server ",               "CreateTraceFactory 1; CreateChannelServer 2; ",                         kConnected},
    {"CreateServerGivesNull",   "default",       "K4x_DSP0", "[faults]\nCreateChannelServer = null\n",      "",                                              true,  true,  "",                                                             "CreateTraceFactory 1; CreateChannelServer 2; ",                         kConnected},
    {"MissingCreateExport",     "no-create",     "K4x_DSP0", "",                                            "",                                              true,  true,  "STM DCM: Cannot get Trace Facotry Dll ",                       "",                                                                      kConnected},
    {"MissingDestroyExport",    "no-destroy",    "K4x_DSP0", "",                                            "",                                              true,  true,  "",                                                             "CreateTraceFactory 1; CreateChannelServer 1; DestroyChannelServer 1; ", kConnected},
    {"DestroyServerThrows",     "default",       "K4x_DSP0", "[faults]\nDestroyChannelServer = throw\n",    "",                                              true,  true,  "",                                                             "CreateTraceFactory 1; CreateChannelServer 1; DestroyChannelServer 1; ", kConnected},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, LiveConnection, ::testing::ValuesIn(kLiveLoads), RowName());

// Answers prompts from a table (throws when told to) and records them, each
// marked when the answer string was not handed over empty or the value not 0.
struct HostAnswers final : CHostCallback {
    bool Query(const std::string& prompt, int32_t value, std::string& answer) override
    {
        asked += prompt + (value == 0 && answer.empty() ? ";" : " (not fresh);");
        if (fail) throw std::runtime_error("host gave up");
        answer = answers[prompt];
        return true;
    }

    std::map<std::string, std::string> answers;
    std::string asked;
    bool fail = false;
};

class OutFileLookup : public ::testing::Test {
protected:
    // What GetOutFile gives, "<false>" when it fails with out untouched.
    std::string Lookup(const std::string& cpu)
    {
        std::string out = "untouched";
        if (!m_manager.GetOutFile(cpu, out)) return out == "untouched" ? "<false>" : "<false, changed>";
        return out;
    }

    DeviceDescriptor m_descriptor = MakeDescriptor("K4x_DSP0");
    LiveSession m_session{"default"};
    K4xDeviceCfgMgr m_manager{&m_descriptor, 0};
    HostAnswers m_host;
};

TEST_F(OutFileLookup, CacheAndHostWithoutLiveSystem)
{
    m_manager.SetHostCallback(&m_host);
    const std::string c1 = m_session.WriteFile("c1.out", "image");
    const std::string xc1 = m_session.WriteFile("xc1.out", "image");
    m_host.answers = {{"Application for C1", c1},
                      {"Application for xC1_0", xc1},
                      {"Application for M", m_session.Profile() + "/missing.out"}};
    // Exact, then containment, then the tail rule, which ignores case on
    // both sides; an empty name is in every name.
    EXPECT_EQ(Lookup("C1"), c1);
    EXPECT_EQ(Lookup("xC1_0"), xc1);
    EXPECT_EQ(Lookup("C1_0"), xc1);
    EXPECT_EQ(Lookup("c1"), c1);
    EXPECT_EQ(Lookup("9x"), xc1);
    EXPECT_EQ(Lookup(""), c1);
    // An answer naming no file: false, not cached, asked again.
    EXPECT_EQ(Lookup("M"), "<false>");
    EXPECT_EQ(Lookup("M"), "<false>");

    // What the host's callback throws comes back to the host; the cache stays.
    m_host.fail = true;
    EXPECT_THROW(Lookup("Q"), std::runtime_error);
    m_manager.SetHostCallback(nullptr);
    EXPECT_EQ(Lookup("Q"), "<false>");
    EXPECT_EQ(Lookup("C1_0"), xc1);
    EXPECT_EQ(m_host.asked, "Application for C1;Application for xC1_0;Application for M;Application for M;"
                            "Application for Q;");
}

// The first refresh meets an error that is not the tools library's; later
// ones meet the tools library's error at C.
TEST_F(OutFileLookup, LiveRefreshReplacesAppendsAndStopsAtAFailure)
{
    m_session.UseTarget("[cpus]\nK4x_DSP0 = apps/new0.out\nK4x_DSP1 =\nC = c.out\n"
                        "[faults]\nGetLiveCpus = throw other once\nGetCpuOutFile = throw after 2\n");
    m_manager.SetHostCallback(&m_host);
    const std::string host0 = m_session.WriteFile("h0.out", "image");
    const std::string board = m_session.WriteFile("b.out", "image");
    m_host.answers = {{"Application for K4x_DSP0", host0}, {"Application for K4x_DSP1#", board}};
    EXPECT_EQ(Lookup("K4x_DSP0"), host0);
    // Its last byte is in no cached name, so the host is asked.
    EXPECT_EQ(Lookup("K4x_DSP1#"), board);

    m_manager.LoadConfigurationLive();  // no settings file: false, but live
    EXPECT_THROW(Lookup("K4x_DSP0"), std::runtime_error);
    EXPECT_EQ(Lookup("K4x_DSP0"), "apps/new0.out");
    // The live system's CPU comes after every cached name, with its empty
    // path; an exact name beats the earlier K4x_DSP1# that contains it.
    EXPECT_EQ(Lookup("DSP1"), board);
    EXPECT_EQ(Lookup("K4x_DSP1"), "");
    // C was never reached; nothing in the cache ends in C.
    EXPECT_EQ(Lookup("C"), "<false>");
    EXPECT_EQ(m_host.asked, "Application for K4x_DSP0;Application for K4x_DSP1#;Application for C;");
    // Each lookup refreshes.
    EXPECT_EQ(m_session.Log().Count("M:DCM: live system CPU = K4x_DSP0; OutFile=apps/new0.out"), 4);
}

}  // namespace
}  // namespace k4xtest
