// The trace factory library, its factory and its channel server, as the
// manager opens and releases them.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "LoadedLibrary.h"

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
const char kServerDone[] = "M:stm DCM: Done -creating/Connecting Channel Server ";
const char kDestroying[] = "M:DCM: Destroying Channel Server ";

class TraceFactoryConnection : public ::testing::Test {
protected:
    std::unique_ptr<ProbeManager> NewManager() { return std::make_unique<ProbeManager>(&m_descriptor, 0); }

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = MakeDescriptor("K4x_DSP0");
};

TEST_F(TraceFactoryConnection, ConnectsOnceAndReleasesOnce)
{
    LiveSession session("default");
    StandIn factory("default", "TraceFactory");
    auto manager = NewManager();
    // Without a settings file the live load fails, after the connection.
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_FALSE(manager->LoadConfigurationLive());
    EXPECT_TRUE(manager->OpenChannelServer());
    EXPECT_EQ(factory.Count("CreateTraceFactory"), 1);
    EXPECT_EQ(factory.Count("CreateChannelServer"), 1);
    EXPECT_EQ(session.Log().Count(kLoading), 1);
    EXPECT_EQ(session.Log().Count("M:STM DCM: Creating Trace factory"), 1);
    EXPECT_EQ(session.Log().Count(kServerDone), 1);
    EXPECT_EQ(session.Log().CountStarting("M:uDll:  request to load \"TraceFactory\""), 1);

    manager.reset();
    EXPECT_EQ(factory.Count("DestroyChannelServer"), 1);
    EXPECT_EQ(factory.Count("DestroyTraceFactory"), 1);
    EXPECT_EQ(session.Log().Count(kDestroying), 1);
}

TEST_F(TraceFactoryConnection, ManagerNeverLiveCallsNothing)
{
    LiveSession session("default");
    StandIn factory("default", "TraceFactory");
    NewManager().reset();
    for (const char* call : {"CreateTraceFactory", "DestroyTraceFactory", "CreateChannelServer", "DestroyChannelServer"})
        EXPECT_EQ(factory.Count(call), 0) << call;
    EXPECT_EQ(session.Log().CountStarting("M:DCM:"), 0);
    EXPECT_EQ(session.Log().CountStarting("M:uDll:"), 0);
}

// A stand-in folder or fault, two attempts to open the server, the manager's
// end, and what the factory saw ("" for no failure line).
struct FactoryCase {
    const char* name;
    const char* folder;
    const char* faults;
    bool opens;
    const char* failure;
    long factories;       // CreateTraceFactory calls
    long servers;         // CreateChannelServer calls
    long destroyServer;   // DestroyChannelServer calls after the end
    long destroyFactory;  // DestroyTraceFactory calls after the end
};

void PrintTo(const FactoryCase& row, std::ostream* out) { *out << row.name; }

class TraceFactoryCase : public TraceFactoryConnection, public ::testing::WithParamInterface<FactoryCase> {};

TEST_P(TraceFactoryCase, OpensOrFailsAndReleasesWhatItGot)
{
    const FactoryCase& row = GetParam();
    LiveSession session(row.folder);
    session.UseTarget(std::string("[faults]\n") + row.faults + "\n");
    StandIn factory(row.folder, "TraceFactory");
    auto manager = NewManager();
    EXPECT_EQ(manager->OpenChannelServer(), row.opens);
    EXPECT_EQ(manager->OpenChannelServer(), row.opens);
    const std::string failure = row.failure;
    EXPECT_EQ(session.Log().CountStarting("E:"), failure.empty() ? 0 : 2);
    if (!failure.empty()) {
        EXPECT_EQ(session.Log().Count("E:" + failure), 2);
    }
    EXPECT_EQ(session.Log().Count(kLoading), row.opens ? 1 : 2);
    EXPECT_EQ(factory.Count("CreateTraceFactory"), row.factories);
    EXPECT_EQ(factory.Count("CreateChannelServer"), row.servers);
    EXPECT_NO_THROW(manager.reset());
    EXPECT_EQ(factory.Count("DestroyChannelServer"), row.destroyServer);
    EXPECT_EQ(factory.Count("DestroyTraceFactory"), row.destroyFactory);
    EXPECT_EQ(session.Log().Count(kDestroying), row.destroyServer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceFactoryCase,
    ::testing::Values(
        FactoryCase{"CreateThrows", "default", "CreateTraceFactory = throw", false,
                    "STM DCM: Exception in creating trace factory object ", 2, 0, 0, 0},
        FactoryCase{"CreateGivesNull", "default", "CreateTraceFactory = null", false, "", 2, 0, 0, 0},
        FactoryCase{"ServerThrows", "default", "CreateChannelServer = throw", false,
                    "STM DCM: Exception in creating Channel Server ", 1, 2, 0, 0},
        FactoryCase{"NoServer", "default", "CreateChannelServer = null", false, "", 1, 2, 0, 0},
        // The library stays loaded: it is asked for once, the export each time.
        FactoryCase{"MissingCreateExport", "no-create", "", false, "STM DCM: Cannot get Trace Facotry Dll ", 0, 0, 0, 0},
        FactoryCase{"WithoutDestroyExport", "no-destroy", "", true, "", 1, 1, 1, 0},
        // A factory without a server is never destroyed.
        FactoryCase{"Serverless", "serverless", "", false, "", 1, 2, 0, 0},
        // Releases that throw end the manager quietly; a factory that may
        // still hold its server is not destroyed.
        FactoryCase{"ServerDestroyThrows", "default", "DestroyChannelServer = throw", true, "", 1, 1, 1, 0},
        FactoryCase{"FactoryDestroyThrows", "default", "DestroyTraceFactory = throw", true, "", 1, 1, 1, 1}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(TraceFactoryConnection, MissingLibraryIsTriedAgainWithoutOwnMessage)
{
    LiveSession session(nullptr);
    auto manager = NewManager();
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_FALSE(manager->OpenChannelServer());
    EXPECT_EQ(session.Log().Count(kLoading), 2);
    EXPECT_EQ(session.Log().CountStarting("M:uDll:  request to load"), 2);
    EXPECT_EQ(session.Log().CountStarting("E:"), 0);
    EXPECT_EQ(session.Log().CountStarting("M:STM"), 0);
}

}  // namespace
}  // namespace k4xtest
