// The k4xtrace host, run as a separate program through the system's shell
// with a profile directory of its own, the way a user or a script runs it.
#include "Bytes.h"
#include "LoadedLibrary.h"
#include "ScratchProfile.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class K4xTraceToolTest : public ::testing::Test {
protected:
    // The tool's streams and the library's text files use the platform's
    // line end; results read them as line feeds.
    ToolResult Run(const std::string& arguments, bool withProfile = true)
    {
        const std::string profileOption = withProfile ? "--profile " + Quoted(profile.Profile()) + " " : "";
        ToolResult result = RunTool(K4XTRACE_FILE, profileOption + arguments, profile.NewFolder("tool"));
        return {result.exitCode, WithLineFeeds(result.out), WithLineFeeds(result.err)};
    }

    std::string Settings(const std::string& name) const { return (fs::path(profile.SettingsDirectory()) / name).string(); }
    std::string Text(const std::string& path) const { return WithLineFeeds(ReadBytes(path)); }
    static std::string Live(const char* folder = "default") { return "--live " + Quoted(SimFolder(folder)); }

    ScratchProfile profile;
};

TEST_F(K4xTraceToolTest, HelpVersionAndWrongUsage)
{
    ToolResult result = Run("--help");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("usage: k4xtrace", 0), 0u) << result.out;
    for (const char* command : {"show", "get", "set", "save", "load", "diff", "live", "info"}) {
        result = Run(std::string(command) + " --help");
        EXPECT_EQ(result.exitCode, 0) << command;
        EXPECT_TRUE(Contains(result.out, std::string("usage: k4xtrace ") + command)) << result.out;
    }
    result = Run("--version");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("k4xtrace ", 0), 0u) << result.out;

    const char* const wrong[] = {"", "frobnicate CPU", "show", "show A B", "show --bogus CPU", "--json show CPU",
                                 "get CPU", "set CPU Trace_Mode", "set CPU \"Trace Mode=abc\"",
                                 "set CPU \"Trace Mode=4294967296\"", "set CPU TWP_Protocol=maybe",
                                 "set CPU \"Trace Mode=1\" --to", "save CPU text:", "diff CPU settings",
                                 "--log-level 9 show CPU", "show --json=yes CPU"};
    for (const char* arguments : wrong) {
        result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments << ": " << result.err;
        EXPECT_TRUE(Contains(result.err, "k4xtrace")) << arguments;
        EXPECT_TRUE(result.out.empty()) << arguments << ": " << result.out;
    }
}

TEST_F(K4xTraceToolTest, SetGetAndShowGoThroughTheSettingsFile)
{
    ToolResult result =
        Run("set K4x_DSP0 \"Trace Mode=3\" \"Sync Frequency=0x10\" \"Event Bit0=PC == 0x100\" TWP_Protocol=1");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string file = Text(Settings("K4x_DSP0-TCfg.txt"));
    EXPECT_TRUE(Contains(file, "Trace Mode = 3\n")) << file;
    EXPECT_TRUE(Contains(file, "Sync Frequency = 16\n")) << file;
    EXPECT_TRUE(Contains(file, "Event Bit0 = PC == 0x100\n")) << file;

    result = Run("get K4x_DSP0 \"Trace Mode\" \"Event Bit0\" TWP_Protocol CycleModeDelta");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "3\nPC == 0x100\ntrue\ntrue\n");
    result = Run("get --json K4x_DSP0 \"Event Bit0\" \"Memory Mode\"");
    EXPECT_EQ(result.out, "{\"Event Bit0\": \"PC == 0x100\", \"Memory Mode\": 0}\n");
    result = Run("show K4x_DSP0");
    EXPECT_TRUE(Contains(result.out, "Event Bit0       text     \"PC == 0x100\"")) << result.out;
    result = Run("show --json K4x_DSP0");
    EXPECT_TRUE(Contains(result.out, "\"Sync Frequency\": 16,")) << result.out;

    // A failed assignment saves nothing, not even the good ones before it.
    for (const char* failing : {"\"Trace Mode=5\" \"Trace mode=5\"", "\"Trace Mode=5\" CycleModeDelta=false"}) {
        result = Run(std::string("set K4x_DSP0 ") + failing);
        EXPECT_EQ(result.exitCode, 1) << failing;
        EXPECT_TRUE(Contains(result.err, "Invalide property name")) << result.err;
    }
    EXPECT_EQ(Text(Settings("K4x_DSP0-TCfg.txt")), file);
}

TEST_F(K4xTraceToolTest, SaveLoadAndDiffAcrossStores)
{
    ASSERT_EQ(Run("set K4x_DSP0 \"Trace Mode=7\" \"Event Bit3=x=y\"").exitCode, 0);
    const std::string container = profile.Path("cfg.tdf");
    WriteBytes(container, "TDF2");
    ASSERT_EQ(Run("save K4x_DSP0 " + Quoted(container)).exitCode, 0);
    ASSERT_EQ(Run("save K4x_DSP0 \"dcm:copy 1\"").exitCode, 0);
    EXPECT_TRUE(fs::exists(Settings("copy_1.dcm")));

    // A CPU without a settings file starts from the defaults.
    ToolResult result = Run("load K4x_DSP1 tdf:" + Quoted(container));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "Trace Mode       integer  7")) << result.out;
    EXPECT_TRUE(Contains(result.out, "Event Bit3       text     \"x=y\"")) << result.out;
    result = Run("diff K4x_DSP1 dcm:copy_1 " + Quoted(container));
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(result.out.empty());

    result = Run("diff K4x_DSP1 settings dcm:copy_1");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(Contains(result.err, "cannot read")) << result.err;
    ASSERT_EQ(Run("set K4x_DSP1 \"Trace Mode=8\"").exitCode, 0);
    result = Run("diff K4x_DSP1 settings " + Quoted(container));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.out, "-Trace Mode = 8\n+Trace Mode = 7\n")) << result.out;
}

// Each failure a user meets: the arguments, the exit code, and words of the message.
TEST_F(K4xTraceToolTest, FailuresNameTheirCause)
{
    ASSERT_EQ(Run("set K4x_DSP0 \"Trace Mode=1\"").exitCode, 0);
    WriteBytes(Settings("bad.txt"), "Trace Mode = 1\nNo Such = 2\n");
    WriteBytes(profile.Path("my cfg.tdf"), "TDF2");
    WriteBytes(profile.Path("not-a-library.dll"), "MZ but not really");
    const struct {
        std::string arguments;
        const char* message;
    } rows[] = {
        {"load K4x_DSP0 text:missing.txt", "cannot read"},
        {"load K4x_DSP0 " + Quoted(profile.Path("missing.tdf")), "no TDF container"},
        {"load K4x_DSP0 bad.txt", "Invalide property name"},
        // The library turns the blank into "_" and writes nothing; the tool says so.
        {"save K4x_DSP0 " + Quoted(profile.Path("my cfg.tdf")), "nothing written"},
        {"--library " + Quoted(profile.Path("nothing-here.so")) + " show K4x_DSP0",
         "cannot load the configuration library"},
        {"--library " + Quoted(profile.Path("not-a-library.dll")) + " show K4x_DSP0",
         "cannot load the configuration library"},
        {"--live " + Quoted(profile.NewFolder("no-libraries")) + " live K4x_DSP0", "Cannot load channel driver."},
        {"--live " + Quoted(profile.Path("no-such-folder")) + " live K4x_DSP0", "no such directory"},
        // A CPU without a settings file connects, but the load after it fails.
        {Live() + " live K4x_DSP1", "K4x_DSP1-TCfg.txt did not load"},
    };
    for (const auto& row : rows) {
        const ToolResult result = Run(row.arguments);
        EXPECT_EQ(result.exitCode, 1) << row.arguments;
        EXPECT_TRUE(Contains(result.err, row.message)) << row.arguments << ": " << result.err;
    }
    EXPECT_EQ(ReadBytes(profile.Path("my cfg.tdf")), "TDF2");
    const ToolResult result = Run("--profile " + Quoted(profile.Path("no-such-profile")) + " show K4x_DSP0", false);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.err, "no such directory")) << result.err;

    // A malformed settings file is loaded by every new manager: the tool warns.
    WriteBytes(Settings("K4x_DSP0-TCfg.txt"), "Bogus = 1\n");
    const ToolResult warned = Run("show K4x_DSP0");
    EXPECT_EQ(warned.exitCode, 0);
    EXPECT_TRUE(Contains(warned.err, "warning")) << warned.err;
}

TEST_F(K4xTraceToolTest, LiveConnectionAndHostAnswers)
{
    ASSERT_EQ(Run("set K4x_DSP0 TWP_Protocol=false").exitCode, 0);
    WriteBytes(profile.Path("core9.out"), "image");
    const std::string answer = "--answer C6x_core9=" + Quoted(profile.Path("core9.out"));
    ToolResult result = Run(Live() + " live K4x_DSP0 K4x_DSP1 C6x_core9 " + answer);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // The simulated target's TWP source (1) overrides the settings file.
    EXPECT_TRUE(Contains(result.out, "Live TWP source (TWP_Protocol): true")) << result.out;
    EXPECT_TRUE(Contains(result.out, "apps/K4x_DSP1.out")) << result.out;
    EXPECT_TRUE(Contains(result.out, "core9.out   (answered by the host)")) << result.out;

    result = Run(Live() + " live --json K4x_DSP0 C6x_core9");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.out, "\"C6x_core9\": null")) << result.out;
    EXPECT_TRUE(Contains(result.err, "Application for C6x_core9")) << result.err;
}

TEST_F(K4xTraceToolTest, LoggingNamesTheTraceLog)
{
    ToolResult result = Run("--log-level 1 info K4x_DSP0");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string marker = "k4xtrace: trace log: ";
    const size_t at = result.err.find(marker);
    ASSERT_NE(at, std::string::npos) << result.err;
    const std::string log = result.err.substr(at + marker.size(), result.err.find('\n', at) - at - marker.size());
    EXPECT_TRUE(Contains(ReadBytes(log), "Logger : trace user settings directory is")) << log;
    EXPECT_TRUE(Contains(result.out, "settings directory:")) << result.out;

    result = Run("--log-level 0 info K4x_DSP0");
    EXPECT_FALSE(Contains(result.err, marker)) << result.err;
}

}  // namespace
}  // namespace k4xtest
