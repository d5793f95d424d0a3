// The loader, finding the simulated libraries of bin/sim/ in a live session.
#include "uDll.h"

#include "ErrorOf.h"
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "LoadedLibrary.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <tuple>

#if !defined(_WIN32)
#include <locale.h>
#endif

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using ZR_KDT::uDll;

constexpr uint32_t kKeepMode = 0xFFFFFFFF;

// Only level 6 traces functions: one line for each FindAndLoad.
TEST(uDll, LoadsOnceByItsBaseNameAndKeepsNameAndMode)
{
    LiveSession session("default", "6");
    // The trace log exists once a manager has set up the trace environment.
    Zr::Kdt::Trace::DeviceDescriptor descriptor = MakeDescriptor("K4x_DSP0");
    K4xDeviceCfgMgr manager{&descriptor, 0};
    uDll dll(nullptr, kKeepMode);
    EXPECT_EQ(dll.GetMode(), 0u);
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode)) << dll.GetLastErrorText();
    EXPECT_NE(dll.GetSymbol("CreateTraceFactory"), nullptr);
    for (const std::string& line :
         {std::string("request to load \"TraceFactory\" in mode -1"),
          "Working Directory is: \"" + fs::current_path().string() + "\"", "PATH=" + SimFolder("default")})
        EXPECT_EQ(session.Log().Count("M:uDll:  " + line), 1) << line;

    // Loaded: any later request succeeds at once and changes nothing.
    EXPECT_TRUE(dll.FindAndLoad("NAVRO", 7));
    EXPECT_EQ(dll.GetName(), "TraceFactory");
    EXPECT_EQ(session.Log().CountStarting("F:..\\..\\..\\..\\common\\source\\source_utilities\\uDll #"), 2);
    EXPECT_TRUE(dll.Unload());
    EXPECT_FALSE(dll.Unload());

    // request        mode       loaded  platform name logged  name after     mode after (made with 3)  failure text
    const std::tuple<const char*, uint32_t, bool, const char*, const char*, uint32_t, const char*> rows[] = {
        {"NAVRO.dll", 5, true, "NAVRO.dll", "NAVRO", 5, ""},
        // An upper-case suffix is no suffix.
        {"Missing.DLL", kKeepMode, false, "Missing.DLL.dll", "Missing.DLL", 3,
         "failed to load Missing.DLL with error code 126"},
        // Removing the suffix once leaves ".dll": a name no file answers.
        {".dll", kKeepMode, false, ".dll.dll", ".dll", 3, "failed to load .dll with error code 126"},
        {"", kKeepMode, false, ".dll", "", 3, ""},
        {nullptr, 9, false, nullptr, "", 3, ""},
    };
    for (const auto& [request, mode, loaded, platformName, name, modeAfter, error] : rows) {
        SCOPED_TRACE(request != nullptr ? request : "null");
        uDll probe(nullptr, 3);
        EXPECT_EQ(probe.FindAndLoad(request, mode), loaded);
        EXPECT_EQ(probe.GetName(), name);
        EXPECT_EQ(probe.GetMode(), modeAfter);
        EXPECT_EQ(probe.GetLastErrorText(), error);
        if (platformName != nullptr) {
            EXPECT_EQ(session.Log().Count(std::string("M:uDll:  GetPlatformName returned \"") + platformName + '"'), 1);
        }
    }
    EXPECT_EQ(session.Log().CountStarting("M:uDll:  request to load"), 5);

    std::string out = "x";
    EXPECT_STREQ(uDll::GetPlatformName(out, "a.dll.b"), "xa.dll.b") << "\".dll\" anywhere is the suffix";
    EXPECT_FALSE(uDll::HasLibraryExtension(nullptr));
}

// The system's messages are in German, as on a German desktop (LC_ALL=C.UTF-8 LANGUAGE=de), and the search still goes
// on to PATH.
TEST(uDll, SearchGoesOnToPathUnderTranslatedSystemMessages)
{
    LiveSession session("default");
    session.SetVariable("LANGUAGE", "de");
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr || std::string(std::strerror(ENOENT)) == "No such file or directory")
        GTEST_SKIP() << "no German system messages here (libc-l10n, a C.UTF-8 locale)";
    uDll dll(nullptr, kKeepMode);
    EXPECT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode)) << dll.GetLastErrorText();
}

// Level 3 logs messages, and functions only from level 6 on.
TEST(uDll, FailuresLeaveTheirText)
{
    LiveSession session(nullptr, "3");
    Zr::Kdt::Trace::DeviceDescriptor descriptor = MakeDescriptor("K4x_DSP0");
    K4xDeviceCfgMgr manager{&descriptor, 0};
    uDll dll(nullptr, kKeepMode);
    EXPECT_FALSE(dll.FindAndLoad("TraceFactory", kKeepMode));
#if !defined(_WIN32)
    EXPECT_EQ(::uselocale(nullptr), LC_GLOBAL_LOCALE) << "the search left its own locale on the thread";
#endif
    const std::string failure = "failed to load TraceFactory with error code 126";
    EXPECT_EQ(dll.GetLastErrorText(), failure);
    EXPECT_EQ(session.Log().Count("M:uDll: " + failure), 1);
    EXPECT_EQ(session.Log().CountStarting("F:"), 0);
    // Nothing loaded: no look-up, and the failure text stays.
    EXPECT_EQ(dll.GetSymbol("CreateTraceFactory"), nullptr);
    EXPECT_FALSE(dll.Unload());
    EXPECT_EQ(dll.GetLastErrorText(), failure);

    // A missing export records the system's code and logs nothing. The library is found in PATH's second folder.
    const std::string path = session.NewFolder("empty") + k4xplatform::kPathListSeparator + SimFolder("no-create");
    session.SetVariable("PATH", path.c_str());
    ASSERT_TRUE(dll.FindAndLoad("TraceFactory", kKeepMode)) << dll.GetLastErrorText();
    EXPECT_EQ(dll.GetLastErrorText(), "");
    EXPECT_EQ(dll.GetSymbol("CreateTraceFactory"), nullptr);
    EXPECT_EQ(dll.GetLastErrorText(), "GetLastError() returned 127");
    EXPECT_NE(dll.GetSymbol("DestroyTraceFactory"), nullptr);
    EXPECT_EQ(dll.GetLastErrorText(), "");
}

// The working directory is read into 260 bytes: 259 and the NUL fit, a longer one fails the read.
TEST(uDll, AWorkingDirectoryOf260BytesFailsTheSearch)
{
    LiveSession session("default");
    for (const std::size_t length : {259, 260}) {
        fs::path deep = session.NewFolder("deep");
        while (deep.string().size() + 42 < length) deep /= std::string(40, 'd');
        deep /= std::string(length - deep.string().size() - 1, 'e');
        std::error_code error;
        fs::create_directories(deep, error);
        fs::current_path(deep, error);
        if (error) GTEST_SKIP() << "this system refuses a working directory of " << length << " bytes";
        uDll dll(nullptr, kKeepMode);
        const std::string thrown = ErrorOf([&] { dll.FindAndLoad("TraceFactory", kKeepMode); });
        fs::current_path(fs::temp_directory_path());
        EXPECT_EQ(thrown, length < 260 ? "<no error>" : "failed to get current working directory") << length;
    }
}

}  // namespace
}  // namespace k4xtest
