#include "uDll.h"

#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "uEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

namespace k4xtest {
namespace {

using ZR_KDT::uDll;

// The trace log exists once a manager has set up the trace environment.
class uDllTest : public ::testing::Test {
protected:
    void StartLogging() { m_manager = std::make_unique<K4xDeviceCfgMgr>(&m_descriptor, 0); }

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = Descriptor("K4x_DSP0");
    std::unique_ptr<K4xDeviceCfgMgr> m_manager;
};

TEST_F(uDllTest, BaseNameIsShapedLoadedOnceAndUnloaded)
{
    LiveSession session("default");
    StartLogging();
    uDll dll(nullptr, kKeepMode);
    EXPECT_EQ(dll.GetMode(), 0u);
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode)) << dll.GetLastErrorText();
    EXPECT_EQ(dll.GetName(), "TraceFactory");
    EXPECT_EQ(dll.GetMode(), 0u);
    EXPECT_NE(dll.GetSymbol("CreateTraceFactory"), nullptr);

    std::string workingDirectory;
    ZR_KDT::GetWorkingDirectory(workingDirectory);
    EXPECT_EQ(session.CountLog("M:uDll:  request to load \"TraceFactory\" in mode -1"), 1);
    EXPECT_EQ(session.CountLog("M:uDll:  GetPlatformName returned \"TraceFactory.dll\""), 1);
    EXPECT_EQ(session.CountLog("M:uDll:  Working Directory is: \"" + workingDirectory + "\""), 1);
    EXPECT_EQ(session.CountLog("M:uDll:  PATH=" + LiveSession::SimFolder("default")), 1);
    // The function trace needs level 3.
    EXPECT_EQ(session.CountLogStarting("F:"), 0);

    // Loaded: any later request succeeds at once and changes nothing.
    EXPECT_TRUE(dll.FindAndLoad("NAVRO", 7));
    EXPECT_EQ(dll.GetName(), "TraceFactory");
    EXPECT_EQ(dll.GetMode(), 0u);
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load"), 1);
    EXPECT_NE(dll.GetSymbol("CreateTraceFactory"), nullptr);

    EXPECT_TRUE(dll.Unload());
    EXPECT_FALSE(dll.IsLoaded());
    EXPECT_FALSE(dll.Unload());
    EXPECT_EQ(dll.GetName(), "TraceFactory");
}

TEST_F(uDllTest, SuffixAndModeRules)
{
    LiveSession session("default");
    StartLogging();
    uDll dll(nullptr, kKeepMode);
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory.dll", 5)) << dll.GetLastErrorText();
    EXPECT_EQ(dll.GetName(), "TraceFactory");
    EXPECT_EQ(dll.GetMode(), 5u);
    EXPECT_EQ(session.CountLog("M:uDll:  request to load \"TraceFactory.dll\" in mode 5"), 1);
    EXPECT_EQ(session.CountLog("M:uDll:  GetPlatformName returned \"TraceFactory.dll\""), 1);
    ASSERT_TRUE(dll.Unload());

    // An upper-case suffix is no suffix: the name goes to the system as
    // given (whether it loads is the file system's business); the mode stays.
    dll.FindAndLoad("TraceFactory.DLL", kKeepMode);
    EXPECT_EQ(dll.GetName(), "TraceFactory.DLL");
    EXPECT_EQ(dll.GetMode(), 5u);
    EXPECT_EQ(session.CountLog("M:uDll:  GetPlatformName returned \"TraceFactory.DLL.dll\""), 1);
    dll.Unload();

    // Nothing is left of the platform name ".dll": no attempt, no failure text.
    uDll bare(nullptr, 3);
    EXPECT_FALSE(bare.FindAndLoad("", kKeepMode));
    EXPECT_EQ(bare.GetName(), "");
    EXPECT_EQ(bare.GetMode(), 3u);
    EXPECT_EQ(bare.GetLastErrorText(), "");
    EXPECT_FALSE(bare.IsLoaded());
    EXPECT_FALSE(bare.FindAndLoad(nullptr, 9));
    EXPECT_EQ(bare.GetMode(), 3u);

    std::string out = "x";
    EXPECT_STREQ(uDll::GetPlatformName(out, nullptr), "x");
    EXPECT_STREQ(uDll::GetPlatformName(out, "a.dll.b"), "xa.dll.b");
    EXPECT_FALSE(uDll::HasLibraryExtension(".dll"));
    EXPECT_FALSE(uDll::HasLibraryExtension(nullptr));
    EXPECT_TRUE(uDll::HasLibraryExtension("x.dll"));
}

TEST_F(uDllTest, FailuresLeaveTheirText)
{
    LiveSession session(nullptr);
    StartLogging();
    uDll dll(nullptr, kKeepMode);
    EXPECT_FALSE(dll.FindAndLoad("TraceFactory", kKeepMode));
    EXPECT_FALSE(dll.IsLoaded());
    const std::string failure = "failed to load TraceFactory with error code 126";
    EXPECT_EQ(dll.GetLastErrorText(), failure);
    EXPECT_EQ(session.CountLog("M:uDll: " + failure), 1);

    // Nothing loaded: no look-up, and the failure text stays.
    EXPECT_EQ(dll.GetSymbol("CreateTraceFactory"), nullptr);
    EXPECT_EQ(dll.GetLastErrorText(), failure);
    EXPECT_FALSE(dll.Unload());
    EXPECT_EQ(dll.GetLastErrorText(), failure);

    // A missing export records the system's code and logs nothing.
    ZR_KDT::SetEnvironmentValue("PATH", LiveSession::SimFolder("no-create").c_str());
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode)) << dll.GetLastErrorText();
    EXPECT_EQ(dll.GetLastErrorText(), "");
    const int lines = static_cast<int>(session.LogMessages().size());
    EXPECT_EQ(dll.GetSymbol("CreateTraceFactory"), nullptr);
    EXPECT_EQ(dll.GetLastErrorText(), "GetLastError() returned 127");
    EXPECT_EQ(static_cast<int>(session.LogMessages().size()), lines);
    EXPECT_NE(dll.GetSymbol("DestroyTraceFactory"), nullptr);
    EXPECT_EQ(dll.GetLastErrorText(), "");
}

// Level 3 (ZR_TRACE_LOGGING 6) adds the function trace line; level 2 does not.
TEST_F(uDllTest, FunctionTraceOnlyAtTheHighestLevel)
{
    LiveSession session("default", "6");
    StartLogging();
    uDll dll(nullptr, kKeepMode);
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode));
    EXPECT_EQ(session.CountLogStarting("F:..\\..\\..\\..\\common\\source\\source_utilities\\uDll #"), 1);
    EXPECT_EQ(session.CountLogStarting("F:"), 1);
    for (const std::string& line : session.LogMessages())
        EXPECT_TRUE(line.rfind("F:", 0) != 0 || line.find("  ZR_KDT::uDll::FindAndLoad(...)") != std::string::npos)
            << line;
    EXPECT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode));
    EXPECT_EQ(session.CountLogStarting("F:"), 2);
}

TEST_F(uDllTest, NoFunctionTraceBelowTheHighestLevel)
{
    LiveSession session("default", "5");
    StartLogging();
    uDll dll(nullptr, kKeepMode);
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode));
    EXPECT_EQ(session.CountLogStarting("F:"), 0);
    EXPECT_EQ(session.CountLogStarting("M:uDll:  request to load"), 1);
}

}  // namespace
}  // namespace k4xtest
