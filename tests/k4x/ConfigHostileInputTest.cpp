// Damaged configuration files: every load returns, and a structured one
// keeps exactly the fields that lie inside its bytes.
#include "ConfigTestSupport.h"

namespace cfgtest {
namespace {

using tdftest::Bytes;
using tdftest::PutU32;
using tdftest::Section;

class ConfigHostileInputTest : public ConfigTest {};

TEST_F(ConfigHostileInputTest, TruncatedVersion2Payloads)
{
    auto manager = NewManager();
    const std::string tdf = Scratch("cfg.tdf");
    const std::string payload = "Trace Mode=5\nEvent Bit0=abc\nTWP_Protocol=1\n";
    for (std::size_t length = 1; length <= payload.size(); ++length) {
        WriteTdf(tdf, {Section("AETCONFIG", 2, payload.substr(0, length))});
        ASSERT_TRUE(manager->LoadConfiguration(tdf, 0)) << length;
    }
}

// A section that claims more data than the file holds reads what is there,
// the rest as zeros, even when it claims the largest length a reader takes.
TEST_F(ConfigHostileInputTest, SectionsClaimingMoreThanTheFileHolds)
{
    const struct {
        uint32_t version;
        std::string payload;
        uint32_t claimed;
        Config expected;
    } rows[] = {
        {2, "Trace Mode=6\n", 0x1000, {{6, -1, -1, -1, -1, -1}, {"x", "x", "x", "x"}, true}},
        {2, "Trace Mode=6\nEvent Bit1=ab", 0x8000000, {{6, -1, -1, -1, -1, -1}, {"x", "ab", "x", "x"}, true}},
        {1, std::string("\x06\0\0\0\x02", 5), 0x8000000, {{6, 0, -1, 2, 0, 0}, {"", "", "", ""}, false}},
        {1, std::string(20, '\x01') + "ab", 0x8000000,
         {{0x01010101, 0x01010101, -1, 0x01010101, 0x01010101, 0x01010101}, {"ab", "", "", ""}, false}},
    };
    auto manager = NewManager();
    const std::string tdf = Scratch("claims.tdf");
    for (const auto& row : rows) {
        Apply(*manager, Config{{-1, -1, -1, -1, -1, -1}, {"x", "x", "x", "x"}, true});
        Bytes image = tdftest::TdfImage({Section("AETCONFIG", row.version, row.payload)});
        tdftest::SetU32(image, 4, row.claimed);
        tdftest::WriteFile(tdf, image);
        ASSERT_TRUE(manager->LoadConfiguration(tdf, 0)) << row.payload;
        EXPECT_EQ(Capture(*manager), row.expected) << row.payload;
    }
}

TEST_F(ConfigHostileInputTest, ShortVersion1PayloadsKeepTheFieldsInside)
{
    auto manager = NewManager();
    const std::string tdf = Scratch("v1.tdf");
    Bytes full;
    for (const uint32_t value : {1u, 2u, 3u, 4u, 5u}) PutU32(full, value);
    tdftest::PutText(full, "abc");  // no NUL anywhere
    for (std::size_t size = 1; size <= full.size(); ++size) {
        Apply(*manager, Config{{-1, -1, -1, -1, -1, -1}, {"x", "x", "x", "x"}, true});
        WriteTdf(tdf, {Section("AETCONFIG", 1, AsText(Bytes(full.begin(), full.begin() + size)))});
        ASSERT_TRUE(manager->LoadConfiguration(tdf, 0)) << size << ": " << manager->GetErrorMessage();
        const Config loaded = Capture(*manager);
        // Fields in the order of the form: offset 4 holds Number of AEG.
        EXPECT_EQ(loaded.integers[0], size >= 4 ? 1 : -1) << size;
        EXPECT_EQ(loaded.integers[3], size >= 8 ? 2 : -1) << size;
        EXPECT_EQ(loaded.integers[5], size >= 20 ? 5 : -1) << size;
        EXPECT_EQ(loaded.integers[2], -1) << size;
        EXPECT_EQ(loaded.eventBits[0], size > 20 ? std::string("abc", size - 20) : "x") << size;
        EXPECT_EQ(loaded.eventBits[1], "x") << size;
        EXPECT_FALSE(loaded.twp) << size;
    }
    // Exactly the five numbers and four empty texts.
    Bytes smallest(full.begin(), full.begin() + 20);
    smallest.insert(smallest.end(), 4, 0);
    WriteTdf(tdf, {Section("AETCONFIG", 1, AsText(smallest))});
    ASSERT_TRUE(manager->LoadConfiguration(tdf, 0));
    EXPECT_EQ(Capture(*manager), (Config{{1, 3, -1, 2, 4, 5}, {"", "", "", ""}, false}));
}

TEST_F(ConfigHostileInputTest, EmptyVersion1Section)
{
    auto manager = NewManager();
    const std::string tdf = Scratch("v1.tdf");
    // An empty section gives the container nothing to read into.
    WriteTdf(tdf, {Section("AETCONFIG", 1, "")});
    EXPECT_FALSE(manager->LoadConfiguration(tdf, 0));
    EXPECT_EQ(manager->GetErrorMessage(), "No buffer allocated to load section data.");
}

}  // namespace
}  // namespace cfgtest
