// The live session in process: the trace environment that the first manager
// sets up and later ones reuse, the trace factory with its channel server,
// the channel driver and the output-file lookup, each against a simulated
// system of bin/sim/. An outside library's throw never reaches the host.
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
#include <utility>
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
    EXPECT_TRUE(fs::is_directory(data) && fs::is_directory(session.SettingsDirectory()));
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
const DebugClient kClients[] = {{"Unset", "", false}, {"Running", OwnId() + "-client", true},
                                     {"Exited", "2147483646", false}, {"Text", "debugger", false}};
INSTANTIATE_TEST_SUITE_P(Ids, InheritedDebugClient, ::testing::ValuesIn(kClients), ::testing::PrintToStringParamName());

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
    for (int i = 0; i < 3; ++i) writers.emplace_back([&] { while (!stop) ZR_KDT::LogProgress("DCM: writer line"); });
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
    for (const char* profile : {"USERPROFILE", "HOME"}) session.SetVariable(profile, nullptr);
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

// A stand-in of bin/sim/ ("TraceFactory" or "NAVRO") that counts its calls.
struct StandIn : LoadedLibrary {
    StandIn(const char* folder, const char* library) : LoadedLibrary(SimFolder(folder) + "/" + library) {}
    // -1 when the stand-in is missing: the row fails, not the program.
    long Count(const char* call) const
    {
        const auto count = Find<long (*)(const char*)>("SimCallCount");
        return count != nullptr ? count(call) : -1;
    }
};

// The manager with its trace-factory start-up in reach.
struct ProbeManager : K4xDeviceCfgMgr {
    using CDeviceConfigManagerCommon::OpenChannelServer;
    using K4xDeviceCfgMgr::K4xDeviceCfgMgr;
};

const char kNoInstance[] = "Could not connect to channel driver instance.";

// No load is even tried: no stand-in can have been called.
TEST(LiveConnection, NeverLiveOrWithoutDescriptorLoadsNothing)
{
    LiveSession session("default");
    auto descriptor = MakeDescriptor("K4x_DSP0");
    K4xDeviceCfgMgr(&descriptor, 0);
    K4xDeviceCfgMgr bare(nullptr, 0);
    EXPECT_FALSE(bare.LoadConfigurationLive());
    EXPECT_EQ(bare.GetErrorMessage(), "");
    EXPECT_EQ(session.Log().CountStarting("M:DCM:") + session.Log().CountStarting("M:uDll:"), 0);
}

// A stand-in folder (null: none on PATH) or fault, two attempts to open the
// server, the manager's end, and what the factory saw.
struct FactoryCase {
    const char* name;
    const char* folder;
    const char* faults;
    bool opens;
    const char* failure;  // logged by each attempt, "" for none
    // Calls of CreateTraceFactory, CreateChannelServer, and after the end
    // of DestroyChannelServer and DestroyTraceFactory.
    long factories, servers, destroyServer, destroyFactory;
};

void PrintTo(const FactoryCase& row, std::ostream* out) { *out << row.name; }

class TraceFactory : public ::testing::TestWithParam<FactoryCase> {};

TEST_P(TraceFactory, OpensOrFailsAndReleasesWhatItGot)
{
    const FactoryCase& row = GetParam();
    LiveSession session(row.folder);
    session.UseTarget(std::string("[faults]\n") + row.faults + "\n");
    const auto factory = row.folder != nullptr ? std::make_unique<StandIn>(row.folder, "TraceFactory") : nullptr;
    auto descriptor = MakeDescriptor("K4x_DSP0");
    auto manager = std::make_unique<ProbeManager>(&descriptor, 0);
    for (int attempt = 0; attempt < 2; ++attempt) EXPECT_EQ(manager->OpenChannelServer(), row.opens);
    EXPECT_NO_THROW(manager.reset());
    const TraceLog log = session.Log();
    EXPECT_EQ(log.CountStarting("E:"), *row.failure != '\0' ? 2 : 0);
    EXPECT_EQ(log.Count(std::string("E:") + row.failure), *row.failure != '\0' ? 2 : 0);
    EXPECT_EQ(log.Count("M:DCM: Loading factory DLL - TraceFactory "), row.opens ? 1 : 2);
    // A library once loaded stays loaded; a missing one is asked for again.
    EXPECT_EQ(log.CountStarting("M:uDll:  request to load \"TraceFactory\""), factory != nullptr ? 1 : 2);
    EXPECT_EQ(log.Count("M:DCM: Destroying Channel Server "), row.destroyServer);
    if (factory == nullptr) return;
    EXPECT_EQ((std::vector<long>{factory->Count("CreateTraceFactory"), factory->Count("CreateChannelServer"),
                                 factory->Count("DestroyChannelServer"), factory->Count("DestroyTraceFactory")}),
              (std::vector<long>{row.factories, row.servers, row.destroyServer, row.destroyFactory}));
}

const FactoryCase kFactoryCases[] = {
    {"MissingLibrary", nullptr, "", false, "", 0, 0, 0, 0},
    {"CreateThrows", "default", "CreateTraceFactory = throw", false,
     "STM DCM: Exception in creating trace factory object ", 2, 0, 0, 0},
    {"CreateGivesNull", "default", "CreateTraceFactory = null", false, "", 2, 0, 0, 0},
    {"ServerThrows", "default", "CreateChannelServer = throw", false, "STM DCM: Exception in creating Channel Server ",
     1, 2, 0, 0},
    // A factory without a server is never destroyed.
    {"NoServer", "default", "CreateChannelServer = null", false, "", 1, 2, 0, 0},
    {"MissingCreateExport", "no-create", "", false, "STM DCM: Cannot get Trace Facotry Dll ", 0, 0, 0, 0},
    {"WithoutDestroyExport", "no-destroy", "", true, "", 1, 1, 1, 0},
    // Releases that throw end the manager quietly; a factory that may
    // still hold its server is not destroyed.
    {"ServerDestroyThrows", "default", "DestroyChannelServer = throw", true, "", 1, 1, 1, 0},
    {"FactoryDestroyThrows", "default", "DestroyTraceFactory = throw", true, "", 1, 1, 1, 1},
    {"Opens", "default", "", true, "", 1, 1, 1, 1}};
INSTANTIATE_TEST_SUITE_P(Cases, TraceFactory, ::testing::ValuesIn(kFactoryCases), ::testing::PrintToStringParamName());

// Two live loads against a settings file that says TWP 1, and the manager's
// end: the error text, the TWP source the target gives, the driver's calls.
struct LiveLoad {
    const char* name;
    const char* folder;  // on PATH; null: none
    const char* target;  // the simulated system's description
    const char* error;   // "" when the load succeeds
    bool twp;            // the TWP source after the loads
    long connects;       // ConnectChannelServer calls
    long disconnects;    // DisconnectChannelServer calls, and their log lines
    const char* logged;  // a further line each load logs, "" for none
};

void PrintTo(const LiveLoad& row, std::ostream* out) { *out << row.name; }

class ChannelDriver : public ::testing::TestWithParam<LiveLoad> {};

TEST_P(ChannelDriver, LoadsOrGivesItsTextAndReleasesWhatItGot)
{
    const LiveLoad& row = GetParam();
    LiveSession session(row.folder);
    session.UseTarget(row.target);
    fs::create_directories(session.SettingsDirectory());
    WriteBytes((fs::path(session.SettingsDirectory()) / "K4x_DSP0-TCfg.txt").string(), "TWP_Protocol = 1\n");
    const auto driver = row.connects > 0 ? std::make_unique<StandIn>(row.folder, "NAVRO") : nullptr;
    auto descriptor = MakeDescriptor("K4x_DSP0");
    auto manager = std::make_unique<K4xDeviceCfgMgr>(&descriptor, 0);
    const bool loads = std::string(row.error).empty();
    for (int load = 0; load < 2; ++load) {
        EXPECT_NO_THROW(EXPECT_EQ(manager->LoadConfigurationLive(), loads));
        EXPECT_EQ(manager->GetErrorMessage(), row.error);
    }
    Zr::Kdt::Trace::PropertyValue value;
    EXPECT_TRUE(manager->GetProperty("TWP_Protocol", value));
    EXPECT_EQ(value.boolValue, row.twp);
    EXPECT_NO_THROW(manager.reset());
    const TraceLog log = session.Log();
    EXPECT_EQ(log.Count(std::string("M:K4xDeviceCfgMgr: Live m_bTwp_Source ") + (row.twp ? "true." : "false.")),
              loads ? 2 : 0);
    EXPECT_EQ(log.Count(row.logged), *row.logged != '\0' ? 2 : 0);
    EXPECT_EQ(log.Count("M:K4xDeviceCfgMgr: ~K4xDeviceCfgMgr: Destroy Channel Driver DLL"), row.disconnects);
    if (driver == nullptr) return;
    EXPECT_EQ(log.CountStarting("M:uDll:  request to load \"NAVRO\""), 1);
    EXPECT_EQ(driver->Count("ConnectChannelServer"), row.connects);
    EXPECT_EQ(driver->Count("QueryProperty"), loads ? 2 : 0);
    EXPECT_EQ(driver->Count("DisconnectChannelServer"), row.disconnects);
}

const LiveLoad kLiveLoads[] = {
    {"TwpNumber", "default", "[twp-source]\nstatus = 0\ntext = 12abc\n", "", true, 1, 1, ""},
    {"TwpText", "default", "[twp-source]\nstatus = 0\ntext = none\n", "", false, 1, 1, ""},
    {"TwpNoValue", "default", "[twp-source]\nstatus = 3\ntext = 0\n", "", true, 1, 1, ""},
    {"QueryThrows", "default", "[faults]\nQueryProperty = throw\n", "", false, 1, 1,
     "E:K4xDeviceCfgMgr LoadConfigurationLive: get TWP_SOURCE failed"},
    {"MissingLibrary", nullptr, "", "Cannot load channel driver.", true, 0, 0, ""},
    {"MissingConnectExport", "no-connect", "", "Could not get channel driver proc address.", true, 0, 0, ""},
    {"NoServer", "default", "[faults]\nConnectChannelServer = null\n", kNoInstance, true, 2, 0, ""},
    {"NoInstance", "default", "[faults]\nOpenDriverInstance = null\n", kNoInstance, true, 2, 1, ""},
    {"OpenThrows", "default", "[faults]\nOpenDriverInstance = throw\n", kNoInstance, true, 2, 1, ""},
    // Without the export the server is kept; a disconnect that throws
    // ends the manager quietly.
    {"WithoutDisconnectExport", "no-disconnect", "", "", true, 1, 0, ""},
    {"DisconnectThrows", "default", "[faults]\nDisconnectChannelServer = throw\n", "", true, 1, 1, ""}};
INSTANTIATE_TEST_SUITE_P(Cases, ChannelDriver, ::testing::ValuesIn(kLiveLoads), ::testing::PrintToStringParamName());

// Answers prompts from a table (throws when told to) and records them, each
// marked when the answer string was not handed over empty or the value not 0.
struct HostAnswers final : Zr::Kdt::Trace::CHostCallback {
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

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = MakeDescriptor("K4x_DSP0");
    LiveSession m_session{"default"};
    K4xDeviceCfgMgr m_manager{&m_descriptor, 0};
    HostAnswers m_host;
};

TEST_F(OutFileLookup, CacheAndHostWithoutLiveSystem)
{
    EXPECT_EQ(Lookup("C1"), "<false>");
    m_manager.SetHostCallback(&m_host);
    const std::string c1 = m_session.WriteFile("c1.out", "image"), xc1 = m_session.WriteFile("xc1.out", "image");
    m_host.answers = {{"Application for C1", c1}, {"Application for xC1_0", xc1},
                      {"Application for M", m_session.Profile() + "/missing.out"}};
    // Exact, then containment, then the tail rule, which ignores case on
    // both sides; an empty name is in every name. No answer, or one naming
    // no file: false, not cached, asked again.
    const std::pair<const char*, std::string> rows[] = {
        {"C1", c1}, {"xC1_0", xc1},    {"C1", c1},        {"C1_0", xc1},    {"c1", c1},      {"9x", xc1},
        {"", c1},   {"Z9", "<false>"}, {"Z9", "<false>"}, {"M", "<false>"}, {"M", "<false>"}};
    for (const auto& [cpu, expected] : rows) EXPECT_EQ(Lookup(cpu), expected) << cpu;
    EXPECT_EQ(m_host.asked,
              "Application for C1;Application for xC1_0;Application for Z9;Application for Z9;"
              "Application for M;Application for M;");

    // What the host's callback throws comes back to the host; the cache stays.
    m_host.fail = true;
    m_host.asked.clear();
    EXPECT_THROW(Lookup("Q"), std::runtime_error);
    m_manager.SetHostCallback(nullptr);
    EXPECT_EQ(Lookup("Q"), "<false>");
    EXPECT_EQ(m_host.asked, "Application for Q;");
    EXPECT_EQ(Lookup("C1_0"), xc1);
}

TEST_F(OutFileLookup, LiveRefreshReplacesAndAppends)
{
    m_session.UseTarget("[cpus]\nK4x_DSP0 = apps/new0.out\nK4x_DSP1 =\n");
    StandIn factory("default", "TraceFactory");
    m_manager.SetHostCallback(&m_host);
    const std::string host0 = m_session.WriteFile("h0.out", "image"), board = m_session.WriteFile("b.out", "image");
    m_host.answers = {{"Application for K4x_DSP0", host0}, {"Application for K4x_DSP1#", board}};
    EXPECT_EQ(Lookup("K4x_DSP0"), host0);
    // Its last byte is in no cached name, so the host is asked.
    EXPECT_EQ(Lookup("K4x_DSP1#"), board);

    m_manager.LoadConfigurationLive();  // no settings file: false, but live
    EXPECT_EQ(Lookup("K4x_DSP0"), "apps/new0.out");
    // The live system's CPU comes after every cached name, with its empty
    // path; an exact name beats the earlier K4x_DSP1# that contains it.
    EXPECT_EQ(Lookup("DSP1"), board);
    EXPECT_EQ(Lookup("K4x_DSP1"), "");
    EXPECT_EQ(m_host.asked, "Application for K4x_DSP0;Application for K4x_DSP1#;");
    EXPECT_EQ(factory.Count("GetLiveCpus"), 3);
    EXPECT_EQ(m_session.Log().Count("M:DCM: live system CPU = K4x_DSP0; OutFile=apps/new0.out"), 3);
    EXPECT_EQ(m_session.Log().Count("M:DCM: live system CPU = K4x_DSP1; OutFile="), 3);
}

TEST_F(OutFileLookup, LiveFailureKeepsWhatWasRefreshed)
{
    m_session.UseTarget("[cpus]\nA = a.out\nB = b.out\nC = c.out\n[faults]\nGetCpuOutFile = throw after 1\n");
    m_manager.SetHostCallback(&m_host);
    const std::string hostB = m_session.WriteFile("b-host.out", "image");
    m_host.answers = {{"Application for B", hostB}};
    EXPECT_EQ(Lookup("B"), hostB);

    m_manager.LoadConfigurationLive();
    EXPECT_EQ(Lookup("B"), hostB);
    EXPECT_EQ(Lookup("A"), "a.out");
    // C was never reached; nothing in the cache ends in C.
    EXPECT_EQ(Lookup("C"), "<false>");
    EXPECT_EQ(m_host.asked, "Application for B;Application for C;");
    EXPECT_EQ(m_session.Log().CountStarting("M:DCM: live system CPU = A;"), 3);
    EXPECT_EQ(m_session.Log().CountStarting("M:DCM: live system CPU = B;"), 0);
}

}  // namespace
}  // namespace k4xtest
