// The k4xtdf tool, run as a separate program through the system's shell:
// what it makes of the reader's answers, its exit codes and its usage.
#include "Bytes.h"
#include "ScratchProfile.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

namespace {

using namespace k4xtest;

class K4xTdfToolTest : public ::testing::Test {
protected:
    ToolResult Run(const std::string& arguments) { return RunTool(K4XTDF_FILE, arguments, dir.NewFolder("tool")); }

    ScratchProfile dir;
    std::string path = dir.Path("cfg.tdf");
};

TEST_F(K4xTdfToolTest, CreateListAndDump)
{
    ASSERT_EQ(Run("create " + Quoted(path)).exitCode, 0);
    EXPECT_EQ(ReadBytes(path), "TDF2");
    ToolResult result = Run("create " + Quoted(path));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not overwritten"), std::string::npos) << result.err;
    // Data with line ends, a Ctrl-Z and a NUL must come out unchanged.
    const std::string data("a\r\nb\nc\x1A\0d", 9);
    WriteFile(path, TdfImage({Section("AETCONFIG", 2, data), Section("odd\x01name", 0xFFFFFFFF, "")}));
    result = Run("list " + Quoted(path));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("4          30         2          AETCONFIG"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("34         20         4294967295 odd\\x01name"), std::string::npos) << result.out;
    result = Run("dump " + Quoted(path) + " AETCONFIG 2");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, data);
    result = Run("dump " + Quoted(path) + " AETCONFIG 0x1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Section size cannot be located in the file."), std::string::npos) << result.err;
    // A damaged header ends the list with the sections before it shown.
    Bytes image = TdfImage({Section("GOOD", 1, "x"), Section("BAD", 1, "")});
    SetU32(image, 21, 0);
    WriteFile(path, image);
    result = Run("list " + Quoted(path));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("GOOD"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("bad section header at offset 21"), std::string::npos) << result.err;
    EXPECT_EQ(Run("list " + Quoted(dir.Path("missing.tdf"))).exitCode, 1);
}

// Usage errors exit with 2 and show the usage on standard error; help
// exits with 0 and shows it on standard output.
TEST_F(K4xTdfToolTest, UsageErrorsAndHelp)
{
    const std::pair<const char*, int> rows[] = {
        {"", 2}, {"frobnicate x", 2}, {"create", 2}, {"list a b", 2}, {"dump x.tdf NAME", 2}, {"dump x.tdf NAME 1 2", 2},
        {"dump x.tdf NAME abc", 2}, {"dump x.tdf NAME 4294967296", 2}, {"list --bogus x.tdf", 2}, {"--help", 0},
        {"create --help", 0}, {"list -h", 0}, {"dump x.tdf --help", 0}};
    for (const auto& [arguments, exitCode] : rows) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, exitCode) << arguments;
        const std::string& shown = exitCode == 0 ? result.out : result.err;
        EXPECT_NE(shown.find("usage: k4xtdf"), std::string::npos) << arguments << ": " << shown;
    }
}

}  // namespace
