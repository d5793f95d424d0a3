// The k4xtrace host, run as a separate program through the system's shell
// with a profile directory of its own, the way a user or a script runs it.
#include "Bytes.h"
#include "HostPlatform.h"
#include "LoadedLibrary.h"
#include "OutsideCodePage.h"
#include "ScratchProfile.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One run: its arguments, which name it on failure, its exit code, parts of its standard output split at "|", and a
// part of its standard error.
struct Step {
    std::string arguments;
    int exit;
    std::string out;
    std::string err;
};

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
        for (const Step& step : steps) {
            SCOPED_TRACE(step.arguments);
            ExpectRun(Run(step.arguments), step.exit, step.out, step.err);
        }
    }

    std::string Path(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(profile.Path(name), bytes);
        return Quoted(profile.Path(name));
    }

    ScratchProfile profile;
};

// Wrong usage gives exit code 2, the tool's name on standard error and nothing on standard output.
TEST_F(K4xTraceTool, HelpVersionAndWrongUsage)
{
    RunSteps({
        // clang-format off
        // arguments      exit   out                                   err
        {"--help",        0,     "usage: k4xtrace [OPTIONS] COMMAND",  ""},
        {"check --help",  0,     "usage: k4xtrace check",              ""},
        {"--version",     0,     "k4xtrace " K4X_PROJECT_VERSION "\nlibrary " K4X_PROJECT_VERSION " (|" K4X_LIBRARY_NAME ")\n", ""},
        // clang-format on
    });
    for (const char* arguments : {
             "",
             "frobnicate CPU",
             "show",
             "show A B",
             "show --bogus CPU",
             "show --json=yes CPU",
             "set CPU Trace_Mode",
             "set CPU \"Trace Mode=abc\"",
             "set CPU \"Trace Mode=4294967296\"",
             "set CPU TWP_Protocol=maybe",
             "set CPU \"Trace Mode=1\" --to",
             "save CPU text:",
             "--log-level 9 show CPU",
             "log --level MQ",
             "log --since 7",
         }) {
        SCOPED_TRACE(arguments);
        ExpectRun(Run(arguments), 2, "", "k4xtrace");
    }
}

// One user's session: each command's exit code and words of its message.
TEST_F(K4xTraceTool, CommandsAndTheFailuresAUserMeets)
{
    const std::string tdf = Path("cfg.tdf", "TDF2"), spaced = Path("my cfg.tdf", "TDF2");
    Path("my_cfg.tdf", "TDF2");
    const std::string live = "--live " + Quoted(SimFolder("default")) + " live ";
    const std::string answer = " --answer C6x_core9=" + Path("core9.out", "image");
    WriteBytes((fs::path(profile.SettingsDirectory()) / "bad.txt").string(), "Trace Mode = 1\nNo Such = 2\n");
    WriteBytes((fs::path(profile.SettingsDirectory()) / "K4x_DSP3-TCfg.txt").string(), "Bogus = 1\n");
    RunSteps({
        // clang-format off
        // arguments                                              exit   out                                           err
        {"set K4x_DSP0 \"Trace Mode=3\" \"Sync Frequency=0x10\" \"Event Bit0=PC == 0x100\" TWP_Protocol=1", 0,     "K4x_DSP0-TCfg.txt\n",                                           ""},
        {"get K4x_DSP0 \"Trace Mode\" \"Sync Frequency\" \"Event Bit0\" TWP_Protocol", 0,     "3\n16\nPC == 0x100\ntrue\n",                 ""},
        {"get --json K4x_DSP0 \"Memory Mode\" CycleModeDelta",    0,     "{\"Memory Mode\": 0, \"CycleModeDelta\": true}\n", ""},
        {"show K4x_DSP0",                                         0,     "Event Bit0       text     \"PC == 0x100\"",  ""},
        {"show --json K4x_DSP0",                                  0,     "\"Sync Frequency\": 16,",                    ""},
        // A failed assignment saves nothing, not even the good ones before it.
        {"set K4x_DSP0 \"Trace Mode=5\" \"Trace mode=5\"",        1,     "",                                           "Invalide property name"},
        {"get K4x_DSP0 \"Trace Mode\"",                           0,     "3\n",                                        ""},
        // Stores: a CPU without a settings file starts from the defaults.
        {"set K4x_DSP0 \"Trace Mode=7\" \"Event Bit3=x=y\"",      0,     "K4x_DSP0-TCfg.txt\n",                       ""},
        {"save K4x_DSP0 " + tdf,                                  0,     "cfg.tdf\n",                                 ""},
        {"save K4x_DSP0 dcm:copy",                                0,     "copy.dcm\n",                                ""},
        {"load K4x_DSP1 tdf:" + tdf,                              0,     "Trace Mode       integer  7|Event Bit3       text     \"x=y\"", ""},
        {"diff K4x_DSP1 dcm:copy " + tdf,                         0,     "",                                           ""},
        {"diff K4x_DSP1 settings dcm:copy",                       2,     "",                                           "cannot read"},
        {"set K4x_DSP1 \"Trace Mode=8\"",                         0,     "K4x_DSP1-TCfg.txt\n",                       ""},
        {"diff K4x_DSP1 settings " + tdf,                         1,     "-Trace Mode = 8\n+Trace Mode = 7\n",         ""},
        {"load K4x_DSP0 " + Quoted(profile.Path("missing.tdf")),  1,     "",                                           "no TDF container"},
        {"load K4x_DSP0 bad.txt",                                 1,     "",                                           "Invalide property name"},
        // The library turns the blank into "_"; the tool checks and names the file it saved to.
        {"save K4x_DSP0 " + spaced,                               0,     "my_cfg.tdf\n",                               ""},
        {"save K4x_DSP0 " + Quoted(profile.Path("none.tdf")),     1,     "",                                           "nothing written"},
        {"--library " + Path("not-a-library.dll", "MZ but not really") + " show K4x_DSP0", 1,     "",                                           "cannot load the configuration library"},
        {"--profile " + Quoted(profile.Path("no-such-profile")) + " show K4x_DSP0", 1,     "",                                           "no such directory"},
        // A malformed settings file is loaded by every new manager: the tool warns.
        {"show K4x_DSP3",                                         0,     "K4x_DSP3-TCfg.txt\n",                       "warning"},
        // The simulated target's TWP source (1) overrides the settings file.
        {"set K4x_DSP0 TWP_Protocol=false",                       0,     "K4x_DSP0-TCfg.txt\n",                       ""},
        {live + "K4x_DSP0 K4x_DSP1 C6x_core9" + answer,           0,     "Live TWP source (TWP_Protocol): true|apps/K4x_DSP1.out|core9.out   (answered by the host)", ""},
        {live + "--json K4x_DSP0 C6x_core9",                      1,     "\"C6x_core9\": null",                        "Application for C6x_core9"},
        {"live K4x_DSP0",                                         1,     "",                                           "Cannot load channel driver.\nk4xtrace: the library looked for the channel driver"},
        // A CPU without a settings file connects, but the load after it fails.
        {live + "K4x_DSP2",                                       1,     "",                                           "K4x_DSP2-TCfg.txt did not load"},
        {"--log-level 1 info K4x_DSP0",                           0,     "settings directory:",                        "k4xtrace: trace log: "},
        // clang-format on
    });
    EXPECT_EQ(ReadBytes(profile.Path("my cfg.tdf")), "TDF2");
    EXPECT_FALSE(Contains(Run("--log-level 0 info K4x_DSP0").err, "trace log"));
}

// Names pass through the tool byte for byte in the system's own encoding (here code page 1252's e acute, \xE9, and
// euro sign, \x80, bytes alone on POSIX): the profile, the live folder and the container keep their names.
TEST_F(K4xTraceTool, NamesInTheCodePageStayTheirOwn)
{
    // Joined by hand: std::filesystem would read the names as UTF-8 on Windows.
    const std::string in = profile.NewFolder("names") + k4xplatform::kPathSeparator;
    const std::string user = in + "Ren\xE9", live = in + "sim\x80", tdf = in + "Donn\xE9" "es.tdf";
    const auto makeDirectory = k4xplatform::SystemCalls().makeDirectory;
    ASSERT_TRUE(makeDirectory(user.c_str()) && makeDirectory(live.c_str()));
    for (const auto& library : fs::directory_iterator(SimFolder("default")))
        WriteBytes(live + in.back() + library.path().filename().string(), ReadBytes(library.path().string()));
    WriteBytes(tdf, "TDF2");
    const std::string as = "--profile " + Quoted(user) + " ";
    RunSteps({
        // clang-format off
        // arguments                                        exit   out                                    err
        {as + "set K4x_DSP0 \"Trace Mode=3\"",              0,     "Ren\xE9",                             ""},
        {as + "--live " + Quoted(live) + " live K4x_DSP0",  0,     "Live TWP source (TWP_Protocol): true", ""},
        {as + "save K4x_DSP0 tdf:" + Quoted(tdf),           0,     "Donn\xE9" "es.tdf\n",                 ""},
        // clang-format on
    });
}

// Where the file calls take short paths only, a save that fails on a long one says why.
TEST_F(K4xTraceTool, ASaveToATooLongPathSaysWhy)
{
    if (k4xplatform::kLongestPath > 300) GTEST_SKIP() << "the file calls take long paths here";
    // 245 characters: the folder can be named, its settings folder (264) cannot.
    const std::string user = profile.NewFolder(std::string(245 - profile.Path("").size(), 'p'));
    const ToolResult result = Run("--profile " + Quoted(user) + " set K4x_DSP0 \"Trace Mode=1\"");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.err, "characters long; this system's file calls take at most 259")) << result.err;
}

// A profile whose name the code page cannot hold is none: its narrow name would be another folder.
TEST_F(K4xTraceTool, AProfileOutsideTheCodePageIsNone)
{
    profile.SetVariable("USERPROFILE", "");  // the test's own value comes back after it
    if (!PointProfileOutsideTheCodePage(fs::path(profile.NewFolder("users"))))
        GTEST_SKIP() << "every name can be written in this system's narrow encoding";
    const ToolResult result = RunTool(K4XTRACE_FILE, "set K4x_DSP0 \"Trace Mode=1\"", profile.NewFolder("tool"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.err, "no profile directory")) << result.err;
}

// doctor names the file that each live library's load takes, and what is wrong with it; log reads back a run's
// failures, which the library logs as progress lines and the tool as failure lines.
TEST_F(K4xTraceTool, DoctorAndLogOfAFailedLiveRun)
{
    const fs::path home = fs::current_path(), planted = profile.NewFolder("planted");
    for (const auto& entry : fs::directory_iterator(SimFolder("default"))) {
        if (Contains(entry.path().filename().string(), "TraceFactory"))
            fs::copy_file(entry.path(), planted / entry.path().filename());
    }
    fs::current_path(planted);
    WriteBytes((fs::path(profile.SettingsDirectory()) / "K4x_DSP3-TCfg.txt").string(), "Bogus = 1\n");
    RunSteps({
        // clang-format off
        // arguments                                                           exit  out                                                                                 err
        {"--live " + Quoted(SimFolder("default")) + " doctor",                 0,    "WARN  trace factory         " + planted.string() + "|working directory|OK    channel driver", ""},
        {"--live " + Quoted(SimFolder("no-connect")) + " doctor K4x_DSP3",     1,    "WARN  settings file|line 1: unknown property|FAIL  channel driver|no ConnectChannelServer", ""},
        {"--log-level 1 live K4x_DSP0",                                        1,    "",                                                                                 "Cannot load channel driver."},
        {"log --level E --json",                                               0,    "\"categories\": \"E\", \"stamp\": \"",                                           "trace log"},
        // clang-format on
    });
    fs::current_path(home);
    const std::string failures = Run("log --level E").out;
    EXPECT_EQ(failures.substr(0, 6) + failures.substr(failures.find(" | ")),
              "    E  | k4xtrace: live K4x_DSP0: Cannot load channel driver.\n");
}

// The values that check --json states for the file: the properties that its lines set, as the library holds them.
std::string CheckedValues(const std::string& json, const std::string& file)
{
    const std::size_t at = json.find("\"values\": {", json.find("{\"file\": \"" + file + "\""));
    return at == std::string::npos ? "not reported" : json.substr(at + 11, json.find("}}", at) - at - 11);
}

// Each kind of problem that check reports, with its line and what the library does, and the values the library holds
// after the load.
TEST_F(K4xTraceTool, CheckReportsEachProblemAndTheValuesHeld)
{
    const auto tdf = [](const std::string& payload) { return AsText(TdfImage({Section("AETCONFIG", 2, payload)})); };
    const struct {
        std::string file;  // in the settings folder; a .tdf file is a container
        std::string bytes;
        std::string report;  // check's lines for the file, after its name
        std::string values;
    } rows[] = {
        // clang-format off
        // file             bytes                                                        report, values
        {"unknown.txt",     "Trace Mode = 1\nTrace Mod = 4\nTrace Mode = 2\n",           ":2: unknown property \"Trace Mod\"; the library stops loading here; did you mean \"Trace Mode\"?", "\"Trace Mode\": 1"},
        {"empty-line.txt",  "Trace Mode = 1\n\nMemory Mode = 2\n",                       ":2: unknown property \"\\nMemory Mode\" (the name runs over a line end: an empty line or a line without \"=\" comes before it); the library stops loading here; did you mean \"Memory Mode\"?", "\"Trace Mode\": 1"},
        {"crlf-first.dcm",  "\r\nTrace Mode = 1\r\n",                                     ":1: unknown property \"\\nTrace Mode\" (the name runs over a line end: an empty line or a line without \"=\" comes before it); the library stops loading here; did you mean \"Trace Mode\"?", ""},
        {"hex.txt",         "Sync Frequency = 0x10\n",                                   ":1: \"0x10\" is not a whole number; the library reads 0", "\"Sync Frequency\": 0"},
        {"crlf.dcm",        "Trace Mode = 1\r\nCEMU Status = 12abc\r\n",                 ":2: \"12abc\" is not a whole number; the library reads 12", "\"CEMU Status\": 12, \"Trace Mode\": 1"},
        // 2^32 + INT_MAX: atoi gives INT_MAX whether it wraps or saturates.
        {"range.txt",       "Memory Mode = 6442450943\n",                                ":1: \"6442450943\" is out of the 32-bit range of \"Memory Mode\"; the library reads 2147483647", "\"Memory Mode\": 2147483647"},
        {"twp-word.txt",    "TWP_Protocol = true\n",                                     ":1: \"true\" is not 1 or 0; the library reads false", "\"TWP_Protocol\": false"},
        {"twice.txt",       "Trace Mode = 1\nEvent Bit0 = x\nTrace Mode = 2\n",          ":3: \"Trace Mode\" is set again (first on line 1); the last one, on line 3, wins", "\"Event Bit0\": \"x\", \"Trace Mode\": 2"},
        {"read-only.txt",   "Trace Mode = 1\nCycleModeDelta = 1\n",                      ":2: \"CycleModeDelta\" cannot be set from a file; the library stops loading here", "\"Trace Mode\": 1"},
        {"long-name.txt",   "Trace Mode = 1\n" + std::string(1024, 'N') + " = 1\n",      ":2: a name longer than 1023 characters; the library stops loading here", "\"Trace Mode\": 1"},
        {"long-value.txt",  "Event Bit0 = " + std::string(1024, 'v') + "\n",             ":1: a value longer than 1023 characters; the library stops loading here", ""},
        {"hand.txt",        "Trace Mode =  7\nEvent Bit0 = a = b \nTWP_Protocol = 1\n",  ": clean", "\"Event Bit0\": \"a = b \", \"TWP_Protocol\": true, \"Trace Mode\": 7"},
        {"twp.tdf",         tdf("Trace Mode=1\nTWP_Protocol=false\n"),                   ":2: \"false\" is not 1 or 0; the library reads true", "\"TWP_Protocol\": true, \"Trace Mode\": 1"},
        {"read-only.tdf",   tdf("CycleModeDelta=1\nTrace Mode=1\n"),                     ":1: \"CycleModeDelta\" cannot be set from a file; the library ignores it", "\"Trace Mode\": 1"},
        {"unknown.tdf",     tdf("Trace Mode=1\nTrace Mod=2\nMemory Mode"),               ":2: unknown property \"Trace Mod\"; the library ignores it; did you mean \"Trace Mode\"?\nunknown.tdf:3: \"Memory Mode\" has no value; the library drops it", "\"Trace Mode\": 1"},
        {"tabs.tdf",        tdf("Trace Mode=5\tEncoding Mode=3\r"),                      ": clean", "\"Encoding Mode\": 3, \"Trace Mode\": 5"},
        {".tdf",            tdf("Number of AEG=4\nEvent Bit2=x=y\nTWP_Protocol=0\n"),    ": clean", "\"Event Bit2\": \"x=y\", \"Number of AEG\": 4, \"TWP_Protocol\": false"},
        {"no.tdf",          "TDF1",                                                      ": not a TDF container (no file starting with TDF2); the library does not load it", ""},
        {"none.tdf",        AsText(TdfImage({Section("AETCONFIG", 3, "Trace Mode=1")})), ": no AETCONFIG section (Section size cannot be located in the file.); the library does not load it", ""},
        // The older binary form, five integers and four texts, all empty: nothing to check.
        {"old.tdf",         AsText(TdfImage({Section("AETCONFIG", 1, std::string(24, '\0'))})), ": clean", ""},
        // clang-format on
    };
    const fs::path home = fs::current_path();
    fs::current_path(profile.SettingsDirectory());
    std::string files, report;
    for (const auto& row : rows) {
        WriteBytes(row.file, row.bytes);
        files += " " + row.file;
        report += row.file + row.report + "\n";
    }
    EXPECT_EQ(Run("check" + files).out, report);
    const std::string json = Run("check --json" + files).out;
    for (const auto& row : rows) EXPECT_EQ(CheckedValues(json, row.file), row.values) << row.file;
    fs::current_path(home);
}

}  // namespace
}  // namespace k4xtest
