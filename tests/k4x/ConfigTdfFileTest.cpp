// Configurations in TDF files through a manager: the exact AETCONFIG section
// a save appends, and what a load takes from sound and damaged sections.
#include "ConfigTest.h"

#include <climits>

namespace k4xtest {
namespace {


const char kKept[] = "Invalid file type";  // marked before each load, left by a load without error
const Config kBaseline = {{-1, -1, -1, -1, -1, -1}, {"x", "x", "x", "x"}, true};

class ConfigTdfFileTest : public ConfigTest {
protected:
    void MarkError(K4xDeviceCfgMgr& manager)
    {
        ASSERT_FALSE(manager.SaveConfiguration("x", 3));
        ASSERT_EQ(manager.GetErrorMessage(), kKept);
    }
};

// The image with the first section's length field set to claim more.
Bytes Claiming(Bytes image, uint32_t length)
{
    SetU32(image, 4, length);
    return image;
}

// Five little-endian integers in the order of the old form, then the texts.
std::string Version1(std::initializer_list<uint32_t> integers, const std::string& texts)
{
    Bytes bytes;
    for (const uint32_t value : integers) PutU32(bytes, value);
    return AsText(bytes) + texts;
}

TEST_F(ConfigTdfFileTest, SaveAppendsOneExactVersion2SectionBehindTheOthers)
{
    const std::string tdf = Scratch("cfg.tdf");
    const Bytes other = Section("OTHER", 1, "abc");
    WriteFile(tdf, TdfImage({other}));
    auto manager = NewManager();
    ASSERT_TRUE(manager->SaveConfiguration(tdf, 0));
    const std::string defaults =
        "Trace Mode=0\nEncoding Mode=0\nSync Frequency=0\nNumber of AEG=0\nMemory Mode=0\nCEMU Status=0\n"
        "Event Bit0=\nEvent Bit1=\nEvent Bit2=\nEvent Bit3=\nTWP_Protocol=0\n";
    // Header: whole length 0xae, version 2, name length 9, the name; then the text.
    const std::string header = std::string("\xae\0\0\0\x02\0\0\0\x09\0\0\0", 12) + "AETCONFIG";
    EXPECT_EQ(ReadBytes(tdf), "TDF2" + AsText(other) + header + defaults);

    // A text is written up to its first NUL.
    Apply(*manager, {{7, -3, INT_MAX, INT_MIN, 0, -1}, {"pc == 0x100", "", "x=y\tz  ", std::string("cut\0off", 7)}, true});
    ASSERT_TRUE(manager->SaveConfiguration(tdf, 0));
    const std::string sample =
        "Trace Mode=7\nEncoding Mode=-3\nSync Frequency=2147483647\nNumber of AEG=-2147483648\nMemory Mode=0\n"
        "CEMU Status=-1\nEvent Bit0=pc == 0x100\nEvent Bit1=\nEvent Bit2=x=y\tz  \nEvent Bit3=cut\nTWP_Protocol=1\n";
    EXPECT_EQ(ReadBytes(tdf), "TDF2" + AsText(other) + header + defaults + AsText(Section("AETCONFIG", 2, sample)));
    // The first section wins.
    auto reader = NewManager("K4X OTHER");
    Apply(*reader, {{1}, {"x"}, true});
    ASSERT_TRUE(reader->LoadConfiguration(tdf, 0));
    EXPECT_EQ(Capture(*reader), Config{});
    // Event bits keep their blanks and "=".
    const Config blanks = {{1, 2, 3, 4, 5, 6}, {"  kept = as is", "b b", "c=", ""}, false};
    Apply(*manager, blanks);
    WriteBytes(tdf, "TDF2");
    ASSERT_TRUE(manager->SaveConfiguration(tdf, 0));
    ASSERT_TRUE(reader->LoadConfiguration(tdf, 0));
    EXPECT_EQ(Capture(*reader), blanks);
}

TEST_F(ConfigTdfFileTest, SaveWithoutAContainerWritesNothing)
{
    auto manager = NewManager();
    MarkError(*manager);
    const std::string notTdf = AsText(TdfImage({}));
    WriteBytes(Scratch("cfg.txt"), notTdf);
    WriteBytes(Scratch("plain.tdf"), "TDF");
    EXPECT_TRUE(manager->SaveConfiguration(Scratch("missing.tdf"), 0));
    EXPECT_TRUE(manager->SaveConfiguration(Scratch("cfg.txt"), 0));
    EXPECT_TRUE(manager->SaveConfiguration(Scratch("plain.tdf"), 0));
    EXPECT_FALSE(std::filesystem::exists(Scratch("missing.tdf")));
    EXPECT_EQ(ReadBytes(Scratch("cfg.txt")), notTdf);
    EXPECT_EQ(ReadBytes(Scratch("plain.tdf")), "TDF");
    EXPECT_EQ(manager->GetErrorMessage(), kKept);
}

// The old binary form has no protocol and no sync frequency: the protocol
// turns off, the sync frequency stays. Only fields that lie inside the
// section are read; a section that claims more than the file holds reads
// what is there and zeros after it.
TEST_F(ConfigTdfFileTest, LoadTable)
{
    const std::string v1 = Version1({1, 2, 3, 4, 0xFFFFFFFB}, std::string("e0\0\0e2\0e3 x\0", 12));
    const std::string five = Version1({1, 2, 3, 4, 5}, "");
    const struct {
        const char* what;
        const char* file;
        Bytes image;  // none: no file
        bool loaded;
        const char* error;
        Config expected;
    } rows[] = {
        {"version 1, AEG before encoding", "a.tdf",
         TdfImage({Section("AETCONFIG", 1, v1), Section("AETCONFIGX", 2, "Trace Mode=9")}), true, kKept,
         {{1, 3, -1, 2, 4, -5}, {"e0", "", "e2", "e3 x"}, false}},
        {"version 1 of 3 bytes", "a.tdf", TdfImage({Section("AETCONFIG", 1, std::string("\x06\0\0", 3))}), true, kKept,
         {kBaseline.integers, kBaseline.eventBits, false}},
        {"version 1 of 5 bytes", "a.tdf", TdfImage({Section("AETCONFIG", 1, std::string("\x06\0\0\0\x02", 5))}),
         true, kKept, {{6, -1, -1, -1, -1, -1}, kBaseline.eventBits, false}},
        {"version 1, last text without NUL", "a.tdf", TdfImage({Section("AETCONFIG", 1, five + "abc")}), true,
         kKept, {{1, 3, -1, 2, 4, 5}, {"abc", "x", "x", "x"}, false}},
        {"version 1, four empty texts", "a.tdf", TdfImage({Section("AETCONFIG", 1, five + std::string(4, '\0'))}),
         true, kKept, {{1, 3, -1, 2, 4, 5}, {"", "", "", ""}, false}},
        {"version 1 claims 0x8000000", "a.tdf",
         Claiming(TdfImage({Section("AETCONFIG", 1, std::string("\x06\0\0\0\x02", 5))}), 0x8000000), true, kKept,
         {{6, 0, -1, 2, 0, 0}, {"", "", "", ""}, false}},
        {"version 1 empty", "a.tdf", TdfImage({Section("AETCONFIG", 1, "")}), false,
         "No buffer allocated to load section data.", kBaseline},
        {"version 2 claims 0x8000000", "a.tdf",
         Claiming(TdfImage({Section("AETCONFIG", 2, "Trace Mode=6\nEvent Bit1=ab")}), 0x8000000), true, kKept,
         {{6, -1, -1, -1, -1, -1}, {"x", "ab", "x", "x"}, true}},
        {"no section of that name", "a.tdf",
         TdfImage({Section("OTHER", 2, "Trace Mode=1\n"), Section("aetconfig", 2, "x")}), false,
         "Section size cannot be located in the file.", kBaseline},
        {"other signature", "a.tdf", {'T', 'D', 'F', '1'}, false, kKept, kBaseline},
        {"other extension", "a.txt", TdfImage({Section("AETCONFIG", 2, "Trace Mode=1\n")}), false, kKept, kBaseline},
        {"no file", "missing.tdf", {}, false, kKept, kBaseline},
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        Apply(*manager, kBaseline);
        MarkError(*manager);
        const std::string path = Scratch(row.file);
        std::filesystem::remove(path);
        if (!row.image.empty()) WriteFile(path, row.image);
        EXPECT_EQ(manager->LoadConfiguration(path, 0), row.loaded) << row.what;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << row.what;
        EXPECT_EQ(Capture(*manager), row.expected) << row.what;
    }
}

}  // namespace
}  // namespace k4xtest
