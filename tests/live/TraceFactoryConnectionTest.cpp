// The trace factory library, its factory and its channel server, as the
// manager opens and releases them.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "SimModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace k4xtest {
namespace {

// The manager with its trace-factory start-up in reach.
class ProbeManager : public K4xDeviceCfgMgr {
public:
    using CDeviceConfigManagerCommon::OpenChannelServer;
    using K4xDeviceCfgMgr::K4xDeviceCfgMgr;
};

const char kLoading[] = "M:DCM: Loading factory DLL - TraceFactory ";
const char kCreating[] = "M:STM DCM: Creating Trace factory";
const char kServerDone[] = "M:stm DCM: Done -creating/Connecting Channel Server ";
const char kDestroying[] = "M:DCM: Destroying Channel Server ";

class TraceFactoryConnection : public ::testing::Test {
protected:
    std::unique_ptr<ProbeManager> NewManager() { return std::make_unique<ProbeManager>(&m_descriptor, 0); }

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = Descriptor("K4x_DSP0");
};

TEST_F(TraceFactoryConnection, ConnectsOnceAndReleasesOnce)
{
    LiveSession session("default");
    SimModule factory("default", "TraceFactory");
    ASSERT_TRUE(factory.Loaded());
    auto manager = NewManager();
    // Without a settings file the live load fails, after the connection.
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_TRUE(manager->OpenChannelServer());
    EXPECT_EQ(factory.Count("CreateTraceFactory"), 1);
    EXPECT_EQ(factory.Count("CreateChannelServer"), 1);
    EXPECT_EQ(session.CountLog(kLoading), 1);
    EXPECT_EQ(session.CountLog(kCreating), 1);
    EXPECT_EQ(session.CountLog(kServerDone), 1);
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load \"TraceFactory\""), 1);

    manager.reset();
    EXPECT_EQ(factory.Count("DestroyChannelServer"), 1);
    EXPECT_EQ(factory.Count("DestroyTraceFactory"), 1);
    EXPECT_EQ(session.CountLog(kDestroying), 1);
}

TEST_F(TraceFactoryConnection, ManagerNeverLiveCallsNothing)
{
    LiveSession session("default");
    SimModule factory("default", "TraceFactory");
    NewManager().reset();
    for (const char* call :
         {"CreateTraceFactory", "DestroyTraceFactory", "CreateChannelServer", "DestroyChannelServer"})
        EXPECT_EQ(factory.Count(call), 0) << call;
    EXPECT_EQ(session.CountLogStarting("M:DCM:"), 0);
    EXPECT_EQ(session.CountLogStarting("M:uDll:"), 0);
}

TEST_F(TraceFactoryConnection, WithoutDestroyExportOnlyTheServerIsReleased)
{
    LiveSession session("no-destroy");
    SimModule factory("no-destroy", "TraceFactory");
    auto manager = NewManager();
    ASSERT_TRUE(manager->OpenChannelServer());
    manager.reset();
    EXPECT_EQ(factory.Count("DestroyChannelServer"), 1);
    EXPECT_EQ(session.CountLog(kDestroying), 1);
}

TEST_F(TraceFactoryConnection, ServerlessFactoryIsNeverDestroyed)
{
    LiveSession session("serverless");
    SimModule factory("serverless", "TraceFactory");
    auto manager = NewManager();
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_EQ(session.CountLog(kServerDone), 1);
    // The factory exists: a retry asks it again without a second factory.
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_EQ(session.CountLog(kLoading), 2);
    EXPECT_EQ(session.CountLog(kServerDone), 2);
    EXPECT_EQ(factory.Count("CreateTraceFactory"), 1);
    EXPECT_EQ(factory.Count("CreateChannelServer"), 2);
    manager.reset();
    EXPECT_EQ(factory.Count("DestroyChannelServer"), 0);
    EXPECT_EQ(factory.Count("DestroyTraceFactory"), 0);
    EXPECT_EQ(session.CountLog(kDestroying), 0);
}

TEST_F(TraceFactoryConnection, MissingLibraryFailsWithoutOwnMessage)
{
    LiveSession session(nullptr);
    auto manager = NewManager();
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_EQ(session.CountLog(kLoading), 1);
    EXPECT_EQ(session.CountLog("M:uDll: failed to load TraceFactory with error code 126"), 1);
    EXPECT_EQ(session.CountLogStarting("E:"), 0);
    EXPECT_EQ(session.CountLogStarting("M:STM"), 0);
    // Each call tries to load it again.
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load"), 2);
}

TEST_F(TraceFactoryConnection, MissingCreateExportFailsEveryTime)
{
    LiveSession session("no-create");
    auto manager = NewManager();
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_EQ(session.CountLog(kLoading), 2);
    EXPECT_EQ(session.CountLog("E:STM DCM: Cannot get Trace Facotry Dll "), 2);
    // The library stays loaded: it is asked for once.
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load"), 1);
}

// One fault of the simulated trace factory and the failure line it gives
// ("" for none).
struct FactoryFault {
    const char* name;
    const char* fault;
    const char* failure;
    long factories;  // CreateTraceFactory calls after two attempts
};

void PrintTo(const FactoryFault& fault, std::ostream* out) { *out << fault.fault; }

class TraceFactoryFault : public TraceFactoryConnection, public ::testing::WithParamInterface<FactoryFault> {};

TEST_P(TraceFactoryFault, FailsWithItsMessage)
{
    LiveSession session("default");
    session.UseTarget(std::string("[faults]\n") + GetParam().fault + "\n");
    SimModule factory("default", "TraceFactory");
    auto manager = NewManager();
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_FALSE(manager->OpenChannelServer());
    const std::string failure = GetParam().failure;
    EXPECT_EQ(session.CountLogStarting("E:"), failure.empty() ? 0 : 2);
    if (!failure.empty()) {
        EXPECT_EQ(session.CountLog("E:" + failure), 2);
    }
    EXPECT_EQ(factory.Count("CreateTraceFactory"), GetParam().factories);
    manager.reset();
    EXPECT_EQ(factory.Count("DestroyChannelServer"), 0);
    EXPECT_EQ(factory.Count("DestroyTraceFactory"), 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, TraceFactoryFault,
                         ::testing::Values(FactoryFault{"CreateThrows", "CreateTraceFactory = throw",
                                                        "STM DCM: Exception in creating trace factory object ", 2},
                                           FactoryFault{"CreateGivesNull", "CreateTraceFactory = null", "", 2},
                                           FactoryFault{"ServerThrows", "CreateChannelServer = throw",
                                                        "STM DCM: Exception in creating Channel Server ", 1},
                                           FactoryFault{"NoServer", "CreateChannelServer = null", "", 1}),
                         CaseName<FactoryFault>);

}  // namespace
}  // namespace k4xtest
