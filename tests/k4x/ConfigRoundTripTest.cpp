// A configuration saved by one manager loads back into a fresh one, in
// every store, and the stored bytes are those that other tools read.
#include "ConfigTestSupport.h"

#include <climits>

namespace cfgtest {
namespace {

using tdftest::Section;

const Config kSample = {
    {7, -3, INT_MAX, INT_MIN, 0, -1},
    {"pc == 0x100", "", "x=y\tz  ", ""},
    true,
};

// Both protocol values, no empty event bit, the other extremes.
const Config kOther = {
    {-100, 2, 0, 5, -2147483647, 40000},
    {"a", "b b", "c=", "trailing blanks   "},
    false,
};

// Written as "%s" writes a text: up to its first NUL.
const Config kCutAtNul = {kSample.integers, {"pc == 0x100", "", "x=y\tz  ", std::string("cut\0off", 7)}, true};

class ConfigRoundTripTest : public ConfigTest {};

TEST_F(ConfigRoundTripTest, TextFileKeepsEveryValue)
{
    auto writer = NewManager();
    auto reader = NewManager("K4X OTHER");
    for (const Config& config : {kSample, kOther}) {
        Apply(*writer, config);
        ASSERT_TRUE(writer->SaveConfiguration("round trip", 1)) << writer->GetErrorMessage();
        ASSERT_TRUE(reader->LoadConfiguration("round_trip", 1)) << reader->GetErrorMessage();
        EXPECT_EQ(Capture(*reader), config);
        Apply(*reader, Config{});
        ASSERT_TRUE(reader->LoadConfiguration("round_trip", 4));
        EXPECT_EQ(Capture(*reader), config);
    }
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"round_trip"});
    EXPECT_EQ(writer->GetErrorMessage(), "");
    EXPECT_EQ(reader->GetErrorMessage(), "");
}

TEST_F(ConfigRoundTripTest, TextFileDropsOnlyLeadingBlanksAndEqualsOfEventBits)
{
    auto writer = NewManager();
    Config config = kOther;
    config.eventBits[0] = " = =lead and trail  ";
    Apply(*writer, config);
    ASSERT_TRUE(writer->SaveConfiguration("lead", 1));
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration("lead", 1));
    config.eventBits[0] = "lead and trail  ";
    EXPECT_EQ(Capture(*reader), config);
}

TEST_F(ConfigRoundTripTest, DcmSaveRewritesTheNameBeforeTheExtension)
{
    auto writer = NewManager();
    Apply(*writer, kSample);
    ASSERT_TRUE(writer->SaveConfiguration("a b/c", 2)) << writer->GetErrorMessage();
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"a_b-c.dcm"});
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration("a_b-c.dcm", 1));
    EXPECT_EQ(Capture(*reader), kSample);
    // Loads use the name as given: the unrewritten name names no file.
    EXPECT_FALSE(reader->LoadConfiguration("a b/c.dcm", 1));
}

TEST_F(ConfigRoundTripTest, TdfSectionKeepsEveryValue)
{
    auto writer = NewManager();
    auto reader = NewManager("K4X OTHER");
    Config leading = kSample;
    leading.eventBits[3] = "  kept = as is";
    for (const Config& config : {kSample, kOther, leading}) {
        const std::string tdf = Scratch("cfg.tdf");
        WriteBytes(tdf, "TDF2");
        Apply(*writer, config);
        ASSERT_TRUE(writer->SaveConfiguration(tdf, 0)) << writer->GetErrorMessage();
        Apply(*reader, Config{});
        ASSERT_TRUE(reader->LoadConfiguration(tdf, 0)) << reader->GetErrorMessage();
        EXPECT_EQ(Capture(*reader), config);
    }
}

TEST_F(ConfigRoundTripTest, DefaultObjectWritesElevenTextLines)
{
    auto manager = NewManager();
    // Whatever was there before is replaced as a whole.
    WriteBytes(Settings("defaults"), std::string(5000, 'x'));
    ASSERT_TRUE(manager->SaveConfiguration("defaults", 1));
    const std::string n = TextModeLineEnd(Scratch("probe.txt"));
    EXPECT_EQ(ReadBytes(Settings("defaults")), "Trace Mode = 0" + n + "Encoding Mode = 0" + n + "Sync Frequency = 0" +
                                                   n + "Number of AEG = 0" + n + "Memory Mode = 0" + n +
                                                   "CEMU Status = 0" + n + "Event Bit0 = " + n + "Event Bit1 = " + n +
                                                   "Event Bit2 = " + n + "Event Bit3 = " + n + "TWP_Protocol = 0" + n);
    Apply(*manager, kCutAtNul);
    ASSERT_TRUE(manager->SaveConfiguration("defaults", 1));
    EXPECT_EQ(ReadBytes(Settings("defaults")),
              "Trace Mode = 7" + n + "Encoding Mode = -3" + n + "Sync Frequency = 2147483647" + n +
                  "Number of AEG = -2147483648" + n + "Memory Mode = 0" + n + "CEMU Status = -1" + n +
                  "Event Bit0 = pc == 0x100" + n + "Event Bit1 = " + n + "Event Bit2 = x=y\tz  " + n +
                  "Event Bit3 = cut" + n + "TWP_Protocol = 1" + n);
}

TEST_F(ConfigRoundTripTest, TdfSaveAppendsOneVersion2SectionBehindTheOthers)
{
    const std::string tdf = Scratch("cfg.tdf");
    const tdftest::Bytes other = Section("OTHER", 1, "abc");
    WriteTdf(tdf, {other});
    auto manager = NewManager();
    ASSERT_TRUE(manager->SaveConfiguration(tdf, 0));
    const std::string defaults =
        "Trace Mode=0\nEncoding Mode=0\nSync Frequency=0\nNumber of AEG=0\nMemory Mode=0\nCEMU Status=0\n"
        "Event Bit0=\nEvent Bit1=\nEvent Bit2=\nEvent Bit3=\nTWP_Protocol=0\n";
    // Header: whole length, version 2, name length 9, the name; then the text.
    const std::string header = std::string("\xae\0\0\0\x02\0\0\0\x09\0\0\0", 12) + "AETCONFIG";
    ASSERT_EQ(12 + 9 + defaults.size(), 0xaeu);
    EXPECT_EQ(ReadBytes(tdf), "TDF2" + AsText(other) + header + defaults);

    Apply(*manager, kCutAtNul);
    ASSERT_TRUE(manager->SaveConfiguration(tdf, 0));
    const std::string sample =
        "Trace Mode=7\nEncoding Mode=-3\nSync Frequency=2147483647\nNumber of AEG=-2147483648\nMemory Mode=0\n"
        "CEMU Status=-1\nEvent Bit0=pc == 0x100\nEvent Bit1=\nEvent Bit2=x=y\tz  \nEvent Bit3=cut\nTWP_Protocol=1\n";
    EXPECT_EQ(ReadBytes(tdf), "TDF2" + AsText(other) + AsText(Section("AETCONFIG", 2, defaults)) +
                                  AsText(Section("AETCONFIG", 2, sample)));
}

}  // namespace
}  // namespace cfgtest
