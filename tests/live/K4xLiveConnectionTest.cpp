// LoadConfigurationLive and the release of the channel driver's server;
// an outside library's throw never reaches the host.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "LoadedLibrary.h"

#include <gtest/gtest.h>

#include <memory>

namespace k4xtest {
namespace {

using Zr::Kdt::Trace::PropertyValue;

const char kSettingsFile[] = "K4x_DSP0-TCfg.txt";
const char kDisconnecting[] = "M:K4xDeviceCfgMgr: ~K4xDeviceCfgMgr: Destroy Channel Driver DLL";
const char kNoInstance[] = "Could not connect to channel driver instance.";

class K4xLiveConnection : public ::testing::Test {
protected:
    std::unique_ptr<K4xDeviceCfgMgr> NewManager() { return std::make_unique<K4xDeviceCfgMgr>(&m_descriptor, 0); }

    static bool TwpSource(K4xDeviceCfgMgr& manager)
    {
        PropertyValue value;
        EXPECT_TRUE(manager.GetProperty("TWP_Protocol", value));
        return value.boolValue;
    }

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = MakeDescriptor("K4x_DSP0");
};

TEST_F(K4xLiveConnection, ConnectsOnceQueriesEachTimeDisconnectsOnce)
{
    LiveSession session("default");
    StandIn driver("default", "NAVRO");
    auto manager = NewManager();
    // Without a settings file: connected, but nothing asked.
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(driver.Count("QueryProperty"), 0);
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 0\n");
    EXPECT_TRUE(manager->LoadConfigurationLive()) << manager->GetErrorMessage();
    EXPECT_TRUE(TwpSource(*manager));  // the built-in target answers 1
    EXPECT_TRUE(manager->LoadConfigurationLive());
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 1);
    EXPECT_EQ(driver.Count("OpenDriverInstance"), 1);
    EXPECT_EQ(driver.Count("QueryProperty"), 2);
    EXPECT_EQ(session.Log().CountStarting("M:uDll:  request to load \"NAVRO\""), 1);
    EXPECT_EQ(session.Log().Count("M:K4xDeviceCfgMgr: Live m_bTwp_Source true."), 2);
    EXPECT_EQ(manager->GetErrorMessage(), "");

    manager.reset();
    EXPECT_EQ(driver.Count("DisconnectChannelServer"), 1);
    EXPECT_EQ(session.Log().Count(kDisconnecting), 1);
}

TEST_F(K4xLiveConnection, SettingsFileNameFollowsTheCpuName)
{
    LiveSession session("default");
    session.WriteSettings("K4x_DSP-core_1-TCfg.txt", "TWP_Protocol = 1\n");
    m_descriptor.cpuName = "K4x DSP/core 1";
    EXPECT_TRUE(NewManager()->LoadConfigurationLive());
}

TEST_F(K4xLiveConnection, WithoutDescriptorNothingHappens)
{
    LiveSession session("default");
    StandIn factory("default", "TraceFactory");
    K4xDeviceCfgMgr manager(nullptr, 0);
    EXPECT_FALSE(manager.LoadConfigurationLive());
    EXPECT_EQ(manager.GetErrorMessage(), "");
    EXPECT_EQ(factory.Count("CreateTraceFactory"), 0);
    EXPECT_EQ(session.Log().CountStarting("M:uDll:"), 0);
}

// The target's reply against a settings file that says 1.
struct TwpReply {
    const char* name;
    const char* description;
    bool expected;
};

void PrintTo(const TwpReply& row, std::ostream* out) { *out << row.name; }

class LiveTwpSource : public K4xLiveConnection, public ::testing::WithParamInterface<TwpReply> {};

TEST_P(LiveTwpSource, ReplyDecides)
{
    LiveSession session("default");
    session.UseTarget(GetParam().description);
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    auto manager = NewManager();
    EXPECT_TRUE(manager->LoadConfigurationLive());
    EXPECT_EQ(TwpSource(*manager), GetParam().expected);
    const std::string verdict = GetParam().expected ? "true" : "false";
    EXPECT_EQ(session.Log().Count("M:K4xDeviceCfgMgr: Live m_bTwp_Source " + verdict + "."), 1);
    const bool threw = std::string(GetParam().name) == "Throws";
    EXPECT_EQ(session.Log().Count("E:K4xDeviceCfgMgr LoadConfigurationLive: get TWP_SOURCE failed"), threw ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Replies, LiveTwpSource,
                         ::testing::Values(TwpReply{"Zero", "[twp-source]\nstatus = 0\ntext = 0\n", false},
                                           TwpReply{"Number", "[twp-source]\nstatus = 0\ntext = 12abc\n", true},
                                           TwpReply{"Text", "[twp-source]\nstatus = 0\ntext = none\n", false},
                                           TwpReply{"NoValue", "[twp-source]\nstatus = 3\ntext = 0\n", true},
                                           TwpReply{"Throws", "[faults]\nQueryProperty = throw\n", false}),
                         [](const auto& tested) { return std::string(tested.param.name); });

// A channel driver that fails to connect, and what two live loads and the
// manager's end leave behind (counts only for the default folder).
struct ConnectFailure {
    const char* name;
    const char* folder;  // on PATH; null: none
    const char* faults;
    const char* error;
    long connects;
    long disconnects;
};

void PrintTo(const ConnectFailure& row, std::ostream* out) { *out << row.name; }

class LiveConnectFailure : public K4xLiveConnection, public ::testing::WithParamInterface<ConnectFailure> {};

TEST_P(LiveConnectFailure, GivesItsTextAndReleasesWhatItGot)
{
    const ConnectFailure& row = GetParam();
    LiveSession session(row.folder);
    session.UseTarget(std::string("[faults]\n") + row.faults + "\n");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    std::unique_ptr<StandIn> driver;
    if (row.connects > 0) driver = std::make_unique<StandIn>(row.folder, "NAVRO");
    auto manager = NewManager();
    EXPECT_NO_THROW(EXPECT_FALSE(manager->LoadConfigurationLive()));
    EXPECT_EQ(manager->GetErrorMessage(), row.error);
    EXPECT_NO_THROW(EXPECT_FALSE(manager->LoadConfigurationLive()));
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(session.Log().Count(kDisconnecting), row.disconnects);
    if (driver == nullptr) return;
    EXPECT_EQ(driver->Count("ConnectChannelServer"), row.connects);
    EXPECT_EQ(driver->Count("QueryProperty"), 0);
    EXPECT_EQ(driver->Count("DisconnectChannelServer"), row.disconnects);
    EXPECT_EQ(session.Log().CountStarting("M:uDll:  request to load \"NAVRO\""), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, LiveConnectFailure,
    ::testing::Values(ConnectFailure{"MissingLibrary", nullptr, "", "Cannot load channel driver.", 0, 0},
                      ConnectFailure{"MissingConnectExport", "no-connect", "",
                                     "Could not get channel driver proc address.", 0, 0},
                      ConnectFailure{"NoServer", "default", "ConnectChannelServer = null", kNoInstance, 2, 0},
                      ConnectFailure{"ConnectThrows", "default", "ConnectChannelServer = throw", kNoInstance, 2, 0},
                      ConnectFailure{"NoInstance", "default", "OpenDriverInstance = null", kNoInstance, 2, 1},
                      ConnectFailure{"OpenThrows", "default", "OpenDriverInstance = throw", kNoInstance, 2, 1}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(K4xLiveConnection, WithoutDisconnectExportTheServerIsKept)
{
    LiveSession session("no-disconnect");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    StandIn driver("no-disconnect", "NAVRO");
    auto manager = NewManager();
    EXPECT_TRUE(manager->LoadConfigurationLive());
    manager.reset();
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 1);
    EXPECT_EQ(session.Log().Count(kDisconnecting), 0);
}

TEST_F(K4xLiveConnection, DisconnectThatThrowsEndsTheManagerQuietly)
{
    LiveSession session("default");
    session.UseTarget("[faults]\nDisconnectChannelServer = throw\n");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    StandIn driver("default", "NAVRO");
    auto manager = NewManager();
    ASSERT_TRUE(manager->LoadConfigurationLive());
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(driver.Count("DisconnectChannelServer"), 1);
    EXPECT_EQ(session.Log().Count(kDisconnecting), 1);
    // The process goes on: a new manager connects again.
    session.UseTarget("");
    EXPECT_TRUE(NewManager()->LoadConfigurationLive());
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 2);
}

}  // namespace
}  // namespace k4xtest
