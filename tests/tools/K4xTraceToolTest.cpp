// The k4xtrace host, run as a separate program through the system's shell
// with a profile directory of its own, the way a user or a script runs it.
#include "Bytes.h"
#include "LoadedLibrary.h"
#include "ScratchProfile.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One run: the arguments, the exit code, parts of standard output split at
// "|", and a part of standard error ("" for none wanted).
using Step = std::tuple<std::string, int, std::string, std::string>;

class K4xTraceTool : public ::testing::Test {
protected:
    K4xTraceTool() { fs::create_directories(profile.SettingsDirectory()); }

    // The tool's streams use the platform's line end; results read them as
    // line feeds. Every run gets the scratch profile unless it names one.
    ToolResult Run(const std::string& arguments)
    {
        const bool ownProfile = arguments.rfind("--profile", 0) == 0;
        const ToolResult result =
            RunTool(K4XTRACE_FILE, (ownProfile ? "" : "--profile " + Quoted(profile.Profile()) + " ") + arguments,
                    profile.NewFolder("tool"));
        return {result.exitCode, WithLineFeeds(result.out), WithLineFeeds(result.err)};
    }

    void RunSteps(const std::vector<Step>& steps)
    {
        for (const auto& [arguments, exitCode, out, err] : steps) {
            const ToolResult result = Run(arguments);
            EXPECT_EQ(result.exitCode, exitCode) << arguments << ": " << result.err;
            std::istringstream parts(out);
            for (std::string part; std::getline(parts, part, '|');)
                EXPECT_TRUE(Contains(result.out, part)) << arguments << "\n" << result.out;
            EXPECT_TRUE(Contains(result.err, err)) << arguments << ": " << result.err;
        }
    }

    std::string Path(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(profile.Path(name), bytes);
        return Quoted(profile.Path(name));
    }

    ScratchProfile profile;
};

// Wrong usage gives exit code 2, the tool's name on standard error and
// nothing on standard output.
TEST_F(K4xTraceTool, HelpVersionAndWrongUsage)
{
    RunSteps({{"--help", 0, "usage: k4xtrace [OPTIONS] COMMAND", ""},
              {"--version", 0, "k4xtrace " K4X_PROJECT_VERSION "\nlibrary " K4X_PROJECT_VERSION " (", ""}});
    for (const char* command : {"show", "get", "set", "save", "load", "diff", "live", "info", "check"})
        RunSteps({{std::string(command) + " --help", 0, std::string("usage: k4xtrace ") + command, ""}});
    for (const char* arguments :
         {"", "frobnicate CPU", "show", "show A B", "show --bogus CPU", "--json show CPU", "get CPU",
          "set CPU Trace_Mode", "set CPU \"Trace Mode=abc\"", "set CPU \"Trace Mode=4294967296\"",
          "set CPU TWP_Protocol=maybe", "set CPU \"Trace Mode=1\" --to", "save CPU text:", "diff CPU settings",
          "--log-level 9 show CPU", "show --json=yes CPU"}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(std::pair(result.exitCode, result.out), std::pair(2, std::string())) << arguments;
        EXPECT_TRUE(Contains(result.err, "k4xtrace")) << arguments << ": " << result.err;
    }
}

// One user's session: each command's exit code and words of its message.
TEST_F(K4xTraceTool, CommandsAndTheFailuresAUserMeets)
{
    const std::string tdf = Path("cfg.tdf", "TDF2"), spaced = Path("my cfg.tdf", "TDF2");
    const std::string live = "--live " + Quoted(SimFolder("default")) + " live ";
    const std::string answer = " --answer C6x_core9=" + Path("core9.out", "image");
    WriteBytes((fs::path(profile.SettingsDirectory()) / "bad.txt").string(), "Trace Mode = 1\nNo Such = 2\n");
    WriteBytes((fs::path(profile.SettingsDirectory()) / "K4x_DSP3-TCfg.txt").string(), "Bogus = 1\n");
    RunSteps({
        {"set K4x_DSP0 \"Trace Mode=3\" \"Sync Frequency=0x10\" \"Event Bit0=PC == 0x100\" TWP_Protocol=1", 0, "", ""},
        {"get K4x_DSP0 \"Trace Mode\" \"Sync Frequency\" \"Event Bit0\" TWP_Protocol", 0, "3\n16\nPC == 0x100\ntrue\n",
         ""},
        {"get --json K4x_DSP0 \"Memory Mode\" CycleModeDelta", 0, "{\"Memory Mode\": 0, \"CycleModeDelta\": true}\n",
         ""},
        {"show K4x_DSP0", 0, "Event Bit0       text     \"PC == 0x100\"", ""},
        {"show --json K4x_DSP0", 0, "\"Sync Frequency\": 16,", ""},
        // A failed assignment saves nothing, not even the good ones before it.
        {"set K4x_DSP0 \"Trace Mode=5\" \"Trace mode=5\"", 1, "", "Invalide property name"},
        {"get K4x_DSP0 \"Trace Mode\"", 0, "3\n", ""},
        // Stores: a CPU without a settings file starts from the defaults.
        {"set K4x_DSP0 \"Trace Mode=7\" \"Event Bit3=x=y\"", 0, "", ""},
        {"save K4x_DSP0 " + tdf, 0, "", ""},
        {"save K4x_DSP0 dcm:copy", 0, "", ""},
        {"load K4x_DSP1 tdf:" + tdf, 0, "Trace Mode       integer  7|Event Bit3       text     \"x=y\"", ""},
        {"diff K4x_DSP1 dcm:copy " + tdf, 0, "", ""},
        {"diff K4x_DSP1 settings dcm:copy", 2, "", "cannot read"},
        {"set K4x_DSP1 \"Trace Mode=8\"", 0, "", ""},
        {"diff K4x_DSP1 settings " + tdf, 1, "-Trace Mode = 8\n+Trace Mode = 7\n", ""},
        {"load K4x_DSP0 text:missing.txt", 1, "", "cannot read"},
        {"load K4x_DSP0 " + Quoted(profile.Path("missing.tdf")), 1, "", "no TDF container"},
        {"load K4x_DSP0 bad.txt", 1, "", "Invalide property name"},
        // The library turns the blank into "_" and writes nothing; the tool says so.
        {"save K4x_DSP0 " + spaced, 1, "", "nothing written"},
        {"--library " + Path("not-a-library.dll", "MZ but not really") + " show K4x_DSP0", 1, "",
         "cannot load the configuration library"},
        {"--profile " + Quoted(profile.Path("no-such-profile")) + " show K4x_DSP0", 1, "", "no such directory"},
        // A malformed settings file is loaded by every new manager: the tool warns.
        {"show K4x_DSP3", 0, "", "warning"},
        // The simulated target's TWP source (1) overrides the settings file.
        {"set K4x_DSP0 TWP_Protocol=false", 0, "", ""},
        {live + "K4x_DSP0 K4x_DSP1 C6x_core9" + answer, 0,
         "Live TWP source (TWP_Protocol): true|apps/K4x_DSP1.out|core9.out   (answered by the host)", ""},
        {live + "--json K4x_DSP0 C6x_core9", 1, "\"C6x_core9\": null", "Application for C6x_core9"},
        {"--live " + Quoted(profile.NewFolder("no-drivers")) + " live K4x_DSP0", 1, "", "Cannot load channel driver."},
        {"live K4x_DSP0", 1, "", "Cannot load channel driver.\nk4xtrace: the library looked for the channel driver"},
        {"--live " + Quoted(profile.Path("no-such-folder")) + " live K4x_DSP0", 1, "", "no such directory"},
        // A CPU without a settings file connects, but the load after it fails.
        {live + "K4x_DSP2", 1, "", "K4x_DSP2-TCfg.txt did not load"},
        {"--log-level 1 info K4x_DSP0", 0, "settings directory:", "k4xtrace: trace log: "},
    });
    EXPECT_EQ(ReadBytes(profile.Path("my cfg.tdf")), "TDF2");
    EXPECT_FALSE(Contains(Run("--log-level 0 info K4x_DSP0").err, "trace log"));
}

// Each kind of problem in a file, with the line check reports after the
// file's path; a file check calls clean loads into the library with the
// values check reports for it.
TEST_F(K4xTraceTool, CheckReportsEachProblemAndAgreesWithTheLibrary)
{
    const auto tdf = [](const std::string& payload) { return AsText(TdfImage({Section("AETCONFIG", 2, payload)})); };
    const struct {
        std::string file;  // .tdf: a container; otherwise a text file
        std::string bytes;
        std::string report;  // the line of a problem, or the values of a clean file split at "|"
    } rows[] = {
        {"a.txt", "Trace Mode = 1\nTrace Mod = 4\n",
         ":2: unknown property \"Trace Mod\"; the library stops loading here; did you mean \"Trace Mode\"?"},
        {"a.txt", "Trace Mode = 1\n\nMemory Mode = 2\n",
         ":2: unknown property \"\\nMemory Mode\" (the name runs over a line end: an empty line or a line "
         "without \"=\" comes before it); the library stops loading here; did you mean \"Memory Mode\"?"},
        {"a.txt", "Sync Frequency = 0x10\n", ":1: \"0x10\" is not a whole number; the library reads 0"},
        {"a.dcm", "Trace Mode = 1\r\nCEMU Status = 12abc\r\n",
         ":2: \"12abc\" is not a whole number; the library reads 12"},
        {"a.txt", "Memory Mode = 4294967296\n", ":1: \"4294967296\" is out of the 32-bit range of \"Memory Mode\""},
        {"a.txt", "TWP_Protocol = true\n", ":1: \"true\" is not 1 or 0; the library reads false"},
        {"a.txt", "Trace Mode = 1\nEvent Bit0 = x\nTrace Mode = 2\n",
         ":3: \"Trace Mode\" is set again (first on line 1); the last one, on line 3, wins"},
        {"a.txt", "Trace Mode = 1\nCycleModeDelta = 1\n",
         ":2: \"CycleModeDelta\" cannot be set from a file; the library stops loading here"},
        {"a.txt", "Trace Mode = 1\n" + std::string(1024, 'N') + " = 1\n",
         ":2: a name longer than 1023 characters; the library stops loading here"},
        {"a.txt", "Event Bit0 = " + std::string(1024, 'v') + "\n",
         ":1: a value longer than 1023 characters; the library stops loading here"},
        {"a.tdf", tdf("Trace Mode=1\nTWP_Protocol=false\n"), ":2: \"false\" is not 1 or 0; the library reads true"},
        {"a.tdf", tdf("CycleModeDelta=1\nTrace Mode=1\n"),
         ":1: \"CycleModeDelta\" cannot be set from a file; the library ignores it"},
        {"a.tdf", tdf("Trace Mode=1\nTrace Mod=2\nMemory Mode"),
         ":2: unknown property \"Trace Mod\"; the library ignores it; did you mean \"Trace Mode\"?"},
        {"a.tdf", "TDF1", ": not a TDF container (no file starting with TDF2)"},
        {"hand.txt", "Trace Mode =  7\nEvent Bit0 = a = b \nTWP_Protocol = 1\n",
         "\"Trace Mode\": 7|\"Event Bit0\": \"a = b \"|\"TWP_Protocol\": true"},
        {"crlf.txt", "Sync Frequency = -3\r\nEvent Bit1 =\r\n", "\"Sync Frequency\": -3|\"Event Bit1\": \"\""},
        {"clean.tdf", tdf("Number of AEG=4\nEvent Bit2=x=y\nTWP_Protocol=0\n"),
         "\"Number of AEG\": 4|\"Event Bit2\": \"x=y\"|\"TWP_Protocol\": false"},
    };
    for (const auto& row : rows) {
        const bool container = fs::path(row.file).extension() == ".tdf";
        const std::string path =
            container ? profile.Path(row.file) : (fs::path(profile.SettingsDirectory()) / row.file).string();
        WriteBytes(path, row.bytes);
        if (row.report[0] == ':') {
            RunSteps({{"check " + Quoted(path), 1, path + row.report + "\n", ""}});
        } else {
            RunSteps({{"check --json " + Quoted(path), 0, row.report, ""},
                      {"load --json K4x_DSP0 " + (container ? Quoted(path) : row.file), 0, row.report, ""}});
        }
    }
}

}  // namespace
}  // namespace k4xtest
