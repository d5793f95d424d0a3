// Outside libraries that throw from the calls that connect and release: the
// manager absorbs each throw, and its host sees only the documented result.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "SimModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace k4xtest {
namespace {

const char kSettingsFile[] = "K4x_DSP0-TCfg.txt";
const char kNoInstance[] = "Could not connect to channel driver instance.";
const char kDisconnecting[] = "M:K4xDeviceCfgMgr: ~K4xDeviceCfgMgr: Destroy Channel Driver DLL";
const char kDestroying[] = "M:DCM: Destroying Channel Server ";

class ThrowingLibraries : public ::testing::Test {
protected:
    std::unique_ptr<K4xDeviceCfgMgr> NewManager() { return std::make_unique<K4xDeviceCfgMgr>(&m_descriptor, 0); }

    LiveSession m_session{"default"};
    // Held so that the counts outlive the library's own unload.
    SimModule m_factory{"default", "TraceFactory"};
    SimModule m_driver{"default", "NAVRO"};
    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = Descriptor("K4x_DSP0");
};

TEST_F(ThrowingLibraries, ConnectThrowsGivesNoInstance)
{
    m_session.UseTarget("[faults]\nConnectChannelServer = throw\n");
    m_session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    auto manager = NewManager();
    EXPECT_NO_THROW(EXPECT_FALSE(manager->LoadConfigurationLive()));
    EXPECT_EQ(manager->GetErrorMessage(), kNoInstance);
    EXPECT_NO_THROW(EXPECT_FALSE(manager->LoadConfigurationLive()));
    EXPECT_EQ(m_driver.Count("ConnectChannelServer"), 2);
    EXPECT_EQ(m_driver.Count("OpenDriverInstance"), 0);
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(m_driver.Count("DisconnectChannelServer"), 0);
    EXPECT_EQ(m_factory.Count("DestroyTraceFactory"), 1);
}

TEST_F(ThrowingLibraries, OpenInstanceThrowsAndTheServerIsStillReleased)
{
    m_session.UseTarget("[faults]\nOpenDriverInstance = throw\n");
    m_session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    auto manager = NewManager();
    EXPECT_NO_THROW(EXPECT_FALSE(manager->LoadConfigurationLive()));
    EXPECT_EQ(manager->GetErrorMessage(), kNoInstance);
    EXPECT_EQ(m_driver.Count("QueryProperty"), 0);
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(m_driver.Count("DisconnectChannelServer"), 1);
    EXPECT_EQ(m_session.CountLog(kDisconnecting), 1);
}

TEST_F(ThrowingLibraries, ReleasesThatThrowEndDestructionQuietly)
{
    m_session.UseTarget("[faults]\nDisconnectChannelServer = throw\nDestroyChannelServer = throw\n");
    m_session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    auto manager = NewManager();
    ASSERT_TRUE(manager->LoadConfigurationLive());
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(m_driver.Count("DisconnectChannelServer"), 1);
    EXPECT_EQ(m_factory.Count("DestroyChannelServer"), 1);
    // The factory is not destroyed while it may still hold the server.
    EXPECT_EQ(m_factory.Count("DestroyTraceFactory"), 0);
    EXPECT_EQ(m_session.CountLog(kDisconnecting), 1);
    EXPECT_EQ(m_session.CountLog(kDestroying), 1);

    // The process goes on: a new manager connects again.
    m_session.UseTarget("");
    auto next = NewManager();
    EXPECT_TRUE(next->LoadConfigurationLive());
    EXPECT_EQ(m_driver.Count("ConnectChannelServer"), 2);
}

TEST_F(ThrowingLibraries, FactoryDestroyThrows)
{
    m_session.UseTarget("[faults]\nDestroyTraceFactory = throw\n");
    m_session.WriteSettings(kSettingsFile, "TWP_Protocol = 1\n");
    auto manager = NewManager();
    ASSERT_TRUE(manager->LoadConfigurationLive());
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(m_factory.Count("DestroyChannelServer"), 1);
    EXPECT_EQ(m_factory.Count("DestroyTraceFactory"), 1);
    EXPECT_EQ(m_session.CountLog(kDestroying), 1);
}

}  // namespace
}  // namespace k4xtest
