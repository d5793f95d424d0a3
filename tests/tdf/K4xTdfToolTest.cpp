// The k4xtdf tool, run as a separate program through the system's shell: what it makes of the reader's answers, its
// exit codes (0 done, 1 failed, 2 wrong usage) and where its usage goes.
#include "Bytes.h"
#include "ScratchProfile.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

namespace {

using namespace k4xtest;

TEST(K4xTdfToolTest, CommandTable)
{
    ScratchProfile dir;
    const std::string fresh = Quoted(dir.Path("new.tdf")), cfg = Quoted(dir.Path("cfg.tdf"));
    const std::string bad = Quoted(dir.Path("bad.tdf")), missing = Quoted(dir.Path("missing.tdf"));
    // Data with line ends, a Ctrl-Z and a NUL must come out unchanged.
    const std::string data("a\r\nb\nc\x1A\0d", 9);
    WriteFile(dir.Path("cfg.tdf"), TdfImage({Section("AETCONFIG", 2, data), Section("odd\x01name", 0xFFFFFFFF, "")}));
    Bytes image = TdfImage({Section("GOOD", 1, "x"), Section("BAD", 1, "")});
    SetU32(image, 21, 0);  // the second section's length
    WriteFile(dir.Path("bad.tdf"), image);
    SetU32(image, 21, 0x8000001);
    WriteFile(dir.Path("huge.tdf"), image);
    const std::string u = "usage: k4xtdf";
    const struct {
        std::string arguments;
        int exitCode;
        std::string out, err;  // a part of each
    } rows[] = {
        {"create " + fresh, 0, "", ""},
        {"create " + fresh, 1, "", "not overwritten"},
        {"list " + cfg, 0, "4          30         2          AETCONFIG\n", ""},
        {"list " + cfg, 0, "34         20         4294967295 odd\\x01name\n", ""},
        {"dump " + cfg + " AETCONFIG 2", 0, data, ""},
        {"dump " + cfg + " AETCONFIG 0x1", 1, "", "Section size cannot be located in the file."},
        {"list " + bad, 1, "GOOD", "bad section header at offset 21: "},
        {"list " + Quoted(dir.Path("huge.tdf")), 1, "GOOD", "offset 21: section length above 0x8000000\n"},
        {"list " + missing, 1, "", ""},
        {"", 2, "", u},          {"frobnicate x", 2, "", u},        {"create", 2, "", u},
        {"list a b", 2, "", u},  {"dump x.tdf NAME", 2, "", u},     {"dump x.tdf NAME 1 2", 2, "", u},
        {"dump x.tdf NAME abc", 2, "", u}, {"dump x.tdf NAME 4294967296", 2, "", u}, {"list --bogus x.tdf", 2, "", u},
        {"--help", 0, u, ""}, {"create --help", 0, u, ""}, {"list -h", 0, u, ""}, {"dump x.tdf --help", 0, u, ""},
    };
    // Listings are text, so Windows ends their lines with CR LF; the dump's bytes are checked exactly below.
    for (const auto& row : rows) {
        const ToolResult result = RunTool(K4XTDF_FILE, row.arguments, dir.NewFolder("tool"));
        EXPECT_EQ(result.exitCode, row.exitCode) << row.arguments;
        const std::string out = WithLineFeeds(result.out), err = WithLineFeeds(result.err);
        EXPECT_NE(out.find(WithLineFeeds(row.out)), std::string::npos) << row.arguments << ": " << out;
        EXPECT_NE(err.find(row.err), std::string::npos) << row.arguments << ": " << err;
    }
    EXPECT_EQ(ReadBytes(dir.Path("new.tdf")), "TDF2");
    EXPECT_EQ(RunTool(K4XTDF_FILE, "dump " + cfg + " AETCONFIG 2", dir.NewFolder("tool")).out, data);
}

}  // namespace
