// LoadConfigurationLive and the release of the channel driver's server.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "SimModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace k4xtest {
namespace {

using Zr::Kdt::Trace::PropertyValue;

const char kSettingsFile[] = "K4x_DSP0-TCfg.txt";
const char kDisconnecting[] = "M:K4xDeviceCfgMgr: ~K4xDeviceCfgMgr: Destroy Channel Driver DLL";

class K4xLiveConnection : public ::testing::Test {
protected:
    std::unique_ptr<K4xDeviceCfgMgr> NewManager() { return std::make_unique<K4xDeviceCfgMgr>(&m_descriptor, 0); }

    static bool TwpSource(K4xDeviceCfgMgr& manager)
    {
        PropertyValue value;
        EXPECT_TRUE(manager.GetProperty("TWP_Protocol", value));
        return value.boolValue;
    }

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = Descriptor("K4x_DSP0");
};

TEST_F(K4xLiveConnection, ConnectsOnceQueriesEachTimeDisconnectsOnce)
{
    LiveSession session("default");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 0\n");
    SimModule driver("default", "NAVRO");
    auto manager = NewManager();
    EXPECT_TRUE(manager->LoadConfigurationLive()) << manager->GetErrorMessage();
    EXPECT_TRUE(TwpSource(*manager));  // the built-in target answers 1
    EXPECT_TRUE(manager->LoadConfigurationLive());
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 1);
    EXPECT_EQ(driver.Count("OpenDriverInstance"), 1);
    EXPECT_EQ(driver.Count("QueryProperty"), 2);
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load \"NAVRO\""), 1);
    EXPECT_EQ(session.CountLog("M:K4xDeviceCfgMgr: Live m_bTwp_Source true."), 2);
    EXPECT_EQ(manager->GetErrorMessage(), "");

    manager.reset();
    EXPECT_EQ(driver.Count("DisconnectChannelServer"), 1);
    EXPECT_EQ(session.CountLog(kDisconnecting), 1);
}

TEST_F(K4xLiveConnection, MissingSettingsFileConnectsButAsksNothing)
{
    LiveSession session("default");
    SimModule driver("default", "NAVRO");
    auto manager = NewManager();
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(manager->GetErrorMessage(), "");
    EXPECT_EQ(driver.Count("OpenDriverInstance"), 1);
    EXPECT_EQ(driver.Count("QueryProperty"), 0);

    // Once the file is there the same connection serves.
    session.WriteSettings(kSettingsFile, "Trace Mode = 3\n");
    EXPECT_TRUE(manager->LoadConfigurationLive());
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 1);
    EXPECT_EQ(driver.Count("QueryProperty"), 1);
}

TEST_F(K4xLiveConnection, SettingsFileNameFollowsTheCpuName)
{
    LiveSession session("default");
    session.WriteSettings("K4x_DSP-core_1-TCfg.txt", "TWP_Protocol = 1\n");
    m_descriptor.cpuName = "K4x DSP/core 1";
    auto manager = NewManager();
    EXPECT_TRUE(manager->LoadConfigurationLive());
}

// The target's reply against a settings file that says 1.
struct TwpReply {
    const char* name;
    const char* description;
    bool expected;
};

void PrintTo(const TwpReply& reply, std::ostream* out) { *out << reply.name; }

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
    EXPECT_EQ(session.CountLog("M:K4xDeviceCfgMgr: Live m_bTwp_Source " + verdict + "."), 1);
}

INSTANTIATE_TEST_SUITE_P(Replies, LiveTwpSource,
                         ::testing::Values(TwpReply{"Zero", "[twp-source]\nstatus = 0\ntext = 0\n", false},
                                           TwpReply{"Number", "[twp-source]\nstatus = 0\ntext = 12abc\n", true},
                                           TwpReply{"Text", "[twp-source]\nstatus = 0\ntext = none\n", false},
                                           TwpReply{"NoValue", "[twp-source]\nstatus = 3\ntext = 0\n", true}),
                         CaseName<TwpReply>);

TEST_F(K4xLiveConnection, FailingQueryGivesFalseAndGoesOn)
{
    LiveSession session("default");
    session.UseTarget("[faults]\nQueryProperty = throw\n");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    auto manager = NewManager();
    EXPECT_TRUE(manager->LoadConfigurationLive());
    EXPECT_FALSE(TwpSource(*manager));
    EXPECT_EQ(session.CountLog("E:K4xDeviceCfgMgr LoadConfigurationLive: get TWP_SOURCE failed"), 1);
    EXPECT_EQ(session.CountLog("M:K4xDeviceCfgMgr: Live m_bTwp_Source false."), 1);
}

TEST_F(K4xLiveConnection, WithoutDescriptorNothingHappens)
{
    LiveSession session("default");
    SimModule factory("default", "TraceFactory");
    K4xDeviceCfgMgr manager(nullptr, 0);
    EXPECT_FALSE(manager.LoadConfigurationLive());
    EXPECT_EQ(manager.GetErrorMessage(), "");
    EXPECT_EQ(factory.Count("CreateTraceFactory"), 0);
    EXPECT_EQ(session.CountLogStarting("M:uDll:"), 0);
}

TEST_F(K4xLiveConnection, MissingLibrary)
{
    LiveSession session(nullptr);
    auto manager = NewManager();
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(manager->GetErrorMessage(), "Cannot load channel driver.");
}

TEST_F(K4xLiveConnection, MissingConnectExport)
{
    LiveSession session("no-connect");
    auto manager = NewManager();
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(manager->GetErrorMessage(), "Could not get channel driver proc address.");
}

TEST_F(K4xLiveConnection, NoServerGivesNoInstance)
{
    LiveSession session("default");
    session.UseTarget("[faults]\nConnectChannelServer = null\n");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    SimModule driver("default", "NAVRO");
    auto manager = NewManager();
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(manager->GetErrorMessage(), "Could not connect to channel driver instance.");
    EXPECT_EQ(driver.Count("OpenDriverInstance"), 0);
    manager.reset();
    EXPECT_EQ(driver.Count("DisconnectChannelServer"), 0);
}

TEST_F(K4xLiveConnection, ServerWithoutInstanceIsRetriedAndReleased)
{
    LiveSession session("default");
    session.UseTarget("[faults]\nOpenDriverInstance = null\n");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    SimModule driver("default", "NAVRO");
    auto manager = NewManager();
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(manager->GetErrorMessage(), "Could not connect to channel driver instance.");
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 2);
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load \"NAVRO\""), 1);
    EXPECT_EQ(driver.Count("QueryProperty"), 0);
    manager.reset();
    EXPECT_EQ(driver.Count("DisconnectChannelServer"), 1);
    EXPECT_EQ(session.CountLog(kDisconnecting), 1);
}

TEST_F(K4xLiveConnection, WithoutDisconnectExportTheServerIsKept)
{
    LiveSession session("no-disconnect");
    session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    SimModule driver("no-disconnect", "NAVRO");
    auto manager = NewManager();
    EXPECT_TRUE(manager->LoadConfigurationLive());
    manager.reset();
    EXPECT_EQ(driver.Count("ConnectChannelServer"), 1);
    EXPECT_EQ(session.CountLog(kDisconnecting), 0);
}

}  // namespace
}  // namespace k4xtest
