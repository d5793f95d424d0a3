// The two AETCONFIG payload forms.
#include "AetConfigPayload.h"

#include <gtest/gtest.h>

namespace {

AetConfigPairs Parse(const std::string& payload) { return ParseAetConfigVersion2(payload.data(), payload.size()); }

TEST(AetConfigVersion2Test, WriterFormKeepsEmptyValuesAndEqualsSigns)
{
    EXPECT_EQ(
        Parse("Trace Mode=3\nEvent Bit0=\nEvent Bit1=a=b\tc\nTWP_Protocol=1\n"),
        (AetConfigPairs{{"Trace Mode", "3"}, {"Event Bit0", ""}, {"Event Bit1", "a=b\tc"}, {"TWP_Protocol", "1"}}));
    EXPECT_EQ(Parse("Trace Mode=3\r\nEvent Bit0=\r\n"), (AetConfigPairs{{"Trace Mode", "3"}, {"Event Bit0", ""}}));
    // Separators around a value go, as the token rule drops them.
    EXPECT_EQ(Parse("Trace Mode==5\nEvent Bit0==abc\t\nEvent Bit1=\t=\nEvent Bit2=c=\n"),
              (AetConfigPairs{{"Trace Mode", "5"}, {"Event Bit0", "abc"}, {"Event Bit1", ""}, {"Event Bit2", "c="}}));
}

TEST(AetConfigVersion2Test, OtherPayloadsSplitAtSeparatorRuns)
{
    // Tabs and repeated separators, and a last name without a value.
    EXPECT_EQ(Parse("Trace Mode\t5\r\n\r\nMemory Mode==7\nEvent Bit0"),
              (AetConfigPairs{{"Trace Mode", "5"}, {"Memory Mode", "7"}}));
    // A blank before "=" belongs to the name, which is then no property.
    EXPECT_EQ(Parse("Trace Mode =5\nEvent Bit0= x\n"), (AetConfigPairs{{"Trace Mode ", "5"}, {"Event Bit0", " x"}}));
}

TEST(AetConfigVersion2Test, NulEndsTheText)
{
    const std::string payload("Trace Mode=1\n\0Memory Mode=2\n", 28);
    EXPECT_EQ(Parse(payload), (AetConfigPairs{{"Trace Mode", "1"}}));
    EXPECT_TRUE(Parse(std::string()).empty());
}

TEST(AetConfigVersion1Test, ReadsTheFieldsThatLieInsideTheSection)
{
    const unsigned char full[] = {
        1,    0,    0,    0,     // "Trace Mode" 1
        2,    0,    0,    0,     // "Number of AEG" 2
        0xFF, 0xFF, 0xFF, 0xFF,  // "Encoding Mode" -1
        4,    0,    0,    0,     // "Memory Mode" 4
        5,    0,    0,    0,     // "CEMU Status" 5
        'a',  0,                 // "Event Bit0"
        0,                       // "Event Bit1" empty
        'b',  'c',  0,           // "Event Bit2"
        'd',                     // "Event Bit3" without its NUL
    };
    AetConfigVersion1 payload = ParseAetConfigVersion1(full, sizeof full);
    ASSERT_EQ(payload.integers.size(), 5u);
    EXPECT_STREQ(payload.integers[1].first, "Number of AEG");
    EXPECT_EQ(payload.integers[2].second, -1);
    ASSERT_EQ(payload.eventBits.size(), 4u);
    EXPECT_EQ(payload.eventBits[0].second, "a");
    EXPECT_EQ(payload.eventBits[1].second, "");
    EXPECT_EQ(payload.eventBits[2].second, "bc");
    EXPECT_EQ(payload.eventBits[3].second, "d");

    // Shorter sections: only whole integers, then the texts that start inside.
    for (std::size_t size = 0; size < sizeof full; ++size) {
        payload = ParseAetConfigVersion1(full, size);
        EXPECT_EQ(payload.integers.size(), std::min<std::size_t>(size / 4, 5)) << size;
        for (const auto& bit : payload.eventBits) EXPECT_LE(bit.second.size(), 2u);
    }
}

}  // namespace
