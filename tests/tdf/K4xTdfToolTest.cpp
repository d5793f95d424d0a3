// The k4xtdf tool, run as a separate program through the system's shell.
#include "Bytes.h"
#include "ScratchProfile.h"
#include "TdfFile.h"
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
    ToolResult result = Run("create " + Quoted(path));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFile(path), TdfImage({}));
    result = Run("create " + Quoted(path));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not overwritten"), std::string::npos) << result.err;

    // Data with line ends, a Ctrl-Z and a NUL must come out unchanged.
    const std::string data("a\r\nb\nc\x1A\0d", 9);
    TdfFile tdf;
    uint32_t offset = 0;
    uint32_t length = 0;
    tdf.AppendSectionHeader(path.c_str(), "AETCONFIG", 2, offset);
    tdf.SaveSectionData(path.c_str(), offset, data.data(), 1, static_cast<uint32_t>(data.size()), length);
    tdf.AppendSectionHeader(path.c_str(), "odd\x01name", 0xFFFFFFFF, offset);

    result = Run("list " + Quoted(path));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("4          30         2          AETCONFIG"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("34         20         4294967295 odd\\x01name"), std::string::npos) << result.out;

    result = Run("dump " + Quoted(path) + " AETCONFIG 2");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, data);
    result = Run("dump " + Quoted(path) + " AETCONFIG 0x1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Section size cannot be located in the file."), std::string::npos) << result.err;
}

// The reader's answers to damaged files are tested with the reader; here
// only what the tool makes of them.
TEST_F(K4xTdfToolTest, FailuresExitWithOne)
{
    Bytes image = TdfImage({Section("GOOD", 1, "x"), Section("BAD", 1, "")});
    SetU32(image, 21, 0);  // the second section's length
    WriteFile(path, image);
    ToolResult result = Run("list " + Quoted(path));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("GOOD"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("bad section header at offset 21"), std::string::npos) << result.err;
    EXPECT_EQ(Run("list " + Quoted(dir.Path("missing.tdf"))).exitCode, 1);
}

TEST_F(K4xTdfToolTest, UsageErrorsAndHelp)
{
    const char* const wrong[] = {"",
                                 "frobnicate x",
                                 "create",
                                 "list a b",
                                 "dump x.tdf NAME",
                                 "dump x.tdf NAME 1 2",
                                 "dump x.tdf NAME abc",
                                 "dump x.tdf NAME 4294967296",
                                 "list --bogus x.tdf"};
    for (const char* arguments : wrong) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_NE(result.err.find("usage"), std::string::npos) << arguments << ": " << result.err;
    }
    for (const char* arguments : {"--help", "create --help", "list -h", "dump x.tdf --help"}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0) << arguments;
        EXPECT_EQ(result.out.rfind("usage: k4xtdf", 0), 0u) << arguments << ": " << result.out;
    }
}

}  // namespace
