#include "ChannelDriver.h"
#include "SimModule.h"
#include "TraceFactory.h"
#include "cVexaError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using k4xtest::SimModule;
using k4xtest::WriteDescription;
using Zr::Kdt::Trace::ChannelDriverInstance;
using Zr::Kdt::Trace::ChannelServer;
using Zr::Kdt::Trace::PropertyReply;
using Zr::Kdt::Trace::TraceFactory;
using Zr::Kdt::Vexa::cVexaErrorIF;

namespace {

using Names = std::vector<std::string>;

// A factory and its channel server from the trace factory library.
struct FactoryServer {
    TraceFactory* factory = nullptr;
    ChannelServer* server = nullptr;
};

FactoryServer OpenFactoryServer(const SimModule& module)
{
    FactoryServer opened;
    const auto create = module.Find<CreateTraceFactoryFn>("CreateTraceFactory");
    if (create == nullptr || (opened.factory = create()) == nullptr) return opened;
    opened.factory->CreateChannelServer(&opened.server, true);
    return opened;
}

// The driver instance of `cpu` from the channel-driver library; null when
// there is none.
ChannelDriverInstance* OpenInstance(const SimModule& navro, const char* cpu)
{
    const auto connect = navro.Find<ConnectChannelServerFn>("ConnectChannelServer");
    ChannelServer* server = connect != nullptr ? connect() : nullptr;
    ChannelDriverInstance* instance = nullptr;
    if (server != nullptr) server->OpenDriverInstance(cpu, &instance);
    return instance;
}

}  // namespace

TEST(SimModules, DefaultTargetThroughTheTraceFactory)
{
    SimModule module("default", "TraceFactory");
    ASSERT_TRUE(module.Loaded()) << ZR_KDT::platform::LastLoadErrorDetail();
    module.UseTarget("");
    const FactoryServer opened = OpenFactoryServer(module);
    ASSERT_NE(opened.server, nullptr);

    Names cpus{"stale"};
    EXPECT_TRUE(opened.server->GetLiveCpus(cpus));
    EXPECT_EQ(cpus, (Names{"K4x_DSP0", "K4x_DSP1"}));
    std::string outFile;
    EXPECT_TRUE(opened.server->GetCpuOutFile("K4x_DSP1", outFile));
    EXPECT_EQ(outFile, "apps/K4x_DSP1.out");
    EXPECT_FALSE(opened.server->GetCpuOutFile("K4x_DSP9", outFile));
    EXPECT_EQ(outFile, "apps/K4x_DSP1.out");

    EXPECT_TRUE(opened.factory->DestroyChannelServer(opened.server, 0));
    EXPECT_FALSE(opened.factory->DestroyChannelServer(opened.server, 0));
    module.Find<DestroyTraceFactoryFn>("DestroyTraceFactory")(opened.factory);

    EXPECT_EQ(module.Count("CreateTraceFactory"), 1);
    EXPECT_EQ(module.Count("CreateChannelServer"), 1);
    EXPECT_EQ(module.Count("GetLiveCpus"), 1);
    EXPECT_EQ(module.Count("GetCpuOutFile"), 2);
    EXPECT_EQ(module.Count("DestroyChannelServer"), 2);
    EXPECT_EQ(module.Count("DestroyTraceFactory"), 1);
    EXPECT_EQ(module.Count("QueryProperty"), 0);
    EXPECT_EQ(module.Count("Query"), -1);
}

TEST(SimModules, DefaultTargetThroughTheChannelDriver)
{
    SimModule navro("default", "NAVRO");
    ASSERT_TRUE(navro.Loaded()) << ZR_KDT::platform::LastLoadErrorDetail();
    navro.UseTarget("");
    ChannelServer* server = navro.Find<ConnectChannelServerFn>("ConnectChannelServer")();
    ASSERT_NE(server, nullptr);
    ChannelDriverInstance* instance = nullptr;
    ChannelDriverInstance* again = nullptr;
    EXPECT_TRUE(server->OpenDriverInstance("C6x/core 1", &instance));
    server->OpenDriverInstance("C6x/core 1", &again);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(again, instance);

    PropertyReply reply{99, 99, nullptr};
    EXPECT_TRUE(instance->QueryProperty("TWP Source", &reply));
    EXPECT_EQ(reply.status, 0u);
    EXPECT_STREQ(reply.value, "1");
    instance->QueryProperty("Trace Mode", &reply);
    EXPECT_NE(reply.status, 0u);

    const auto disconnect = navro.Find<DisconnectChannelServerFn>("DisconnectChannelServer");
    EXPECT_TRUE(disconnect(server));
    EXPECT_FALSE(disconnect(server));
    EXPECT_EQ(navro.Count("ConnectChannelServer"), 1);
    EXPECT_EQ(navro.Count("OpenDriverInstance"), 2);
    EXPECT_EQ(navro.Count("QueryProperty"), 2);
    EXPECT_EQ(navro.Count("DisconnectChannelServer"), 2);
}

TEST(SimModules, ThrownFaultsReachTheCallerAsVexaErrors)
{
    const std::string path = WriteDescription("throwing-target.txt",
                                              "[cpus]\nA = a.out\nB = b.out\nC = c.out\n"
                                              "[faults]\nGetLiveCpus = throw after 1\n"
                                              "GetCpuOutFile = throw after 2\nQueryProperty = throw\n");
    SimModule module("default", "TraceFactory");
    SimModule navro("default", "NAVRO");
    module.UseTarget(path);
    navro.UseTarget(path);
    const FactoryServer opened = OpenFactoryServer(module);
    ASSERT_NE(opened.server, nullptr);

    Names cpus;
    try {
        opened.server->GetLiveCpus(cpus);
        ADD_FAILURE() << "GetLiveCpus did not throw";
    } catch (const cVexaErrorIF& error) {
        EXPECT_EQ(error.GetSeverity(), cVexaErrorIF::Severity_Error);
        EXPECT_STREQ(error.GetMessageText(), "simulated fault in GetLiveCpus");
    }
    EXPECT_EQ(cpus, Names{"A"});
    std::string outFile;
    EXPECT_TRUE(opened.server->GetCpuOutFile("B", outFile));
    EXPECT_EQ(outFile, "b.out");
    EXPECT_THROW(opened.server->GetCpuOutFile("C", outFile), cVexaErrorIF);

    ChannelDriverInstance* instance = OpenInstance(navro, "A");
    ASSERT_NE(instance, nullptr);
    PropertyReply reply{};
    EXPECT_THROW(instance->QueryProperty("TWP Source", &reply), cVexaErrorIF);
    EXPECT_EQ(navro.Count("QueryProperty"), 1);
}

TEST(SimModules, FailuresGiveNothingOrThrowAtCreation)
{
    SimModule module("default", "TraceFactory");
    SimModule navro("default", "NAVRO");
    const auto create = module.Find<CreateTraceFactoryFn>("CreateTraceFactory");
    const std::string nothing =
        WriteDescription("null-target.txt", "[faults]\nCreateChannelServer = null\nOpenDriverInstance = null\n");
    module.UseTarget(nothing);
    navro.UseTarget(nothing);
    const FactoryServer opened = OpenFactoryServer(module);
    EXPECT_NE(opened.factory, nullptr);
    EXPECT_EQ(opened.server, nullptr);
    EXPECT_EQ(OpenInstance(navro, "K4x_DSP0"), nullptr);

    const std::string offline =
        WriteDescription("offline-target.txt", "[faults]\nCreateTraceFactory = null\nConnectChannelServer = null\n");
    module.UseTarget(offline);
    navro.UseTarget(offline);
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(navro.Find<ConnectChannelServerFn>("ConnectChannelServer")(), nullptr);

    module.UseTarget(WriteDescription("server-throws.txt", "[faults]\nCreateChannelServer = throw\n"));
    TraceFactory* factory = create();
    ASSERT_NE(factory, nullptr);
    ChannelServer* server = nullptr;
    EXPECT_THROW(factory->CreateChannelServer(&server, true), cVexaErrorIF);
    module.UseTarget(WriteDescription("factory-throws.txt", "[faults]\nCreateTraceFactory = throw\n"));
    EXPECT_THROW(create(), cVexaErrorIF);
    EXPECT_EQ(module.Count("CreateTraceFactory"), 4);
}

TEST(SimModules, UnusableDescriptionGivesAnUnreachableTarget)
{
    SimModule module("default", "TraceFactory");
    SimModule navro("default", "NAVRO");
    const std::string path = WriteDescription("malformed-target.txt", "[cpus]\nK4x_DSP0\n");
    module.UseTarget(path);
    navro.UseTarget("no-such-target.txt");

    testing::internal::CaptureStderr();
    EXPECT_EQ(module.Find<CreateTraceFactoryFn>("CreateTraceFactory")(), nullptr);
    EXPECT_EQ(navro.Find<ConnectChannelServerFn>("ConnectChannelServer")(), nullptr);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("malformed-target.txt: line 2: expected"), std::string::npos) << messages;
    EXPECT_NE(messages.find("no-such-target.txt: cannot open"), std::string::npos) << messages;
    EXPECT_NE(messages.find("unreachable"), std::string::npos) << messages;
}

TEST(SimModules, EachVariantFolderLacksOnlyItsExport)
{
    const struct {
        const char* folder;
        const char* missing;
    } variants[] = {
        {"default", ""},    {"no-create", "CreateTraceFactory"},    {"no-destroy", "DestroyTraceFactory"},
        {"serverless", ""}, {"no-connect", "ConnectChannelServer"}, {"no-disconnect", "DisconnectChannelServer"}};
    for (const auto& variant : variants) {
        SCOPED_TRACE(variant.folder);
        SimModule factory(variant.folder, "TraceFactory");
        SimModule navro(variant.folder, "NAVRO");
        ASSERT_TRUE(factory.Loaded() && navro.Loaded()) << ZR_KDT::platform::LastLoadErrorDetail();
        for (const char* name : {"CreateTraceFactory", "DestroyTraceFactory"}) {
            EXPECT_EQ(factory.Find<void (*)()>(name) == nullptr, std::string(name) == variant.missing) << name;
        }
        for (const char* name : {"ConnectChannelServer", "DisconnectChannelServer"}) {
            EXPECT_EQ(navro.Find<void (*)()>(name) == nullptr, std::string(name) == variant.missing) << name;
        }
        for (const SimModule* module : {&factory, &navro}) {
            EXPECT_NE(module->Find<void (*)()>("SimCallCount"), nullptr);
            EXPECT_NE(module->Find<void (*)()>("SimSetTarget"), nullptr);
        }
    }
    SimModule serverless("serverless", "TraceFactory");
    serverless.UseTarget("");
    const FactoryServer opened = OpenFactoryServer(serverless);
    EXPECT_NE(opened.factory, nullptr);
    EXPECT_EQ(opened.server, nullptr);
    EXPECT_EQ(serverless.Count("CreateChannelServer"), 1);
}
