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
    // A euro sign in code page 1252, joined by hand: std::filesystem would read it as UTF-8 on Windows.
    const std::string kept = dir.NewFolder("kept") + k4xplatform::kPathSeparator + "a\x80.tdf";
    WriteBytes(kept, "kept");
    // Data with line ends, a Ctrl-Z and a NUL must come out unchanged.
    const std::string data("a\r\nb\nc\x1A\0d", 9);
    WriteFile(dir.Path("cfg.tdf"), TdfImage({Section("AETCONFIG", 2, data), Section("odd\x01name", 0xFFFFFFFF, "")}));
    Bytes image = TdfImage({Section("GOOD", 1, "x"), Section("BAD", 1, "")});
    SetU32(image, 21, 0);  // the second section's length
    WriteFile(dir.Path("bad.tdf"), image);
    WriteBytes(dir.Path("cut.tdf"), AsText(TdfImage({Section("AETCONFIG", 2, "")})).substr(0, 16));
    const std::string listing =
        "4          30         2          AETCONFIG\n"
        "34         20         4294967295 odd\\x01name\n";
    const std::string u = "usage: k4xtdf";
    const struct {
        const char* name;
        std::string arguments;
        int exitCode;
        std::string out, err;  // a part of each; "": none
    } rows[] = {
        // clang-format off
        // name                        arguments                                   exit   out       err
        {"create",                     "create " + fresh,                          0,     "",       ""},
        {"create over a file",         "create " + fresh,                          1,     "",       "not overwritten"},
        {"create over a file named \x80", "create " + Quoted(kept),                 1,     "",       "not overwritten"},
        {"list, a name escaped",       "list " + cfg,                              0,     listing,  ""},
        {"dump of no such section",    "dump " + cfg + " AETCONFIG 0x1",           1,     "",       "Section size cannot be located in the file."},
        {"list up to a bad header",    "list " + Quoted(dir.Path("bad.tdf")),      1,     "GOOD",   "bad section header at offset 21: "},
        {"list of a header without its name",  "list " + Quoted(dir.Path("cut.tdf")),  1,     "NAME\n",       "bad section header at offset 4: header or name cut off by the end of the file"},
        {"list of no file",            "list " + Quoted(dir.Path("missing.tdf")),  1,     "",       "k4xtdf: "},
        {"no command",                 "",                                         2,     "",       u},
        {"unknown command",            "frobnicate x",                             2,     "",       u},
        {"too few arguments",          "create",                                   2,     "",       u},
        {"a version not a number",     "dump x.tdf NAME abc",                      2,     "",       u},
        {"a version over 32 bits",     "dump x.tdf NAME 4294967296",               2,     "",       u},
        {"an unknown option",          "list --bogus x.tdf",                       2,     "",       u},
        {"help",                       "--help",                                   0,     u,        ""},
        {"a command's help",           "list -h",                                  0,     u,        ""},
        // clang-format on
    };
    // The dump's bytes are checked exactly below.
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ExpectRun(RunTool(K4XTDF_FILE, row.arguments, dir.NewFolder("tool")), row.exitCode, row.out, row.err);
    }
    EXPECT_EQ(ReadBytes(dir.Path("new.tdf")), "TDF2");
    EXPECT_EQ(ReadBytes(kept), "kept");
    EXPECT_EQ(RunTool(K4XTDF_FILE, "dump " + cfg + " AETCONFIG 2", dir.NewFolder("tool")).out, data);
}

}  // namespace
