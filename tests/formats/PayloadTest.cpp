// The two AETCONFIG payload forms.
#include "AetConfigPayload.h"
#include "Bytes.h"

#include <gtest/gtest.h>

namespace {

using namespace K4xFormat;

TEST(AetConfigPayloadTest, Version2Table)
{
    const struct {
        std::string payload;
        AetConfigPairs expected;
    } rows[] = {
        // The writer's form: empty values and "=" inside a value kept.
        {"Trace Mode=3\nEvent Bit0=\nEvent Bit1=a=b\tc\nTWP_Protocol=1\n",
         {{"Trace Mode", "3"}, {"Event Bit0", ""}, {"Event Bit1", "a=b\tc"}, {"TWP_Protocol", "1"}}},
        {"Trace Mode=3\r\nEvent Bit0=\r\n", {{"Trace Mode", "3"}, {"Event Bit0", ""}}},
        // Separators around a value go, as the token rule drops them.
        {"Trace Mode==5\nEvent Bit0==abc\t\nEvent Bit1=\t=\nEvent Bit2=c=\n",
         {{"Trace Mode", "5"}, {"Event Bit0", "abc"}, {"Event Bit1", ""}, {"Event Bit2", "c="}}},
        // Not the writer's form: tokens split by separator runs; a name without a value goes.
        {"Trace Mode=5\tEncoding Mode=3\r\nEvent Bit0=\n", {{"Trace Mode", "5"}, {"Encoding Mode", "3"}}},
        {"Trace Mode\t5\r\n\r\nMemory Mode==7\nEvent Bit0", {{"Trace Mode", "5"}, {"Memory Mode", "7"}}},
        {"Trace Mode =5\nEvent Bit0= x\n", {{"Trace Mode ", "5"}, {"Event Bit0", " x"}}},
        {std::string("Trace Mode=1\n\0Memory Mode=2\n", 28), {{"Trace Mode", "1"}}},  // a NUL ends the payload
        {"", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseAetConfigVersion2(row.payload.data(), row.payload.size()).pairs, row.expected) << row.payload;
    }
}

// Only the fields that start inside the payload are read; the last text may lack its NUL.
TEST(AetConfigPayloadTest, Version1TruncationTable)
{
    const std::string full = k4xtest::U32(1) + k4xtest::U32(2) + k4xtest::U32(0xFFFFFFFF) + k4xtest::U32(4) +
                             k4xtest::U32(5) + std::string("a\0\0bc\0d", 7);  // texts from 20: "a", "", "bc", "d"
    using Integers = std::vector<std::pair<std::string, int32_t>>;
    const Integers all = {{"Trace Mode", 1}, {"Number of AEG", 2}, {"Encoding Mode", -1}, {"Memory Mode", 4},
                          {"CEMU Status", 5}};
    const struct {
        std::size_t size;
        std::size_t integers;
        std::vector<std::string> texts;
    } rows[] = {
        {0, 0, {}},     {3, 0, {}},         {4, 1, {}},              {19, 4, {}},              {20, 5, {}},
        {21, 5, {"a"}}, {22, 5, {"a"}},     {23, 5, {"a", ""}},      {24, 5, {"a", "", "b"}},  {26, 5, {"a", "", "bc"}},
        {27, 5, {"a", "", "bc", "d"}},
    };
    for (const auto& row : rows) {
        const AetConfigVersion1 cut =
            ParseAetConfigVersion1(reinterpret_cast<const unsigned char*>(full.data()), row.size);
        EXPECT_EQ(Integers(cut.integers.begin(), cut.integers.end()), Integers(all.begin(), all.begin() + row.integers))
            << row.size;
        std::vector<std::string> texts;
        for (const auto& bit : cut.eventBits) texts.push_back(bit.second);
        EXPECT_EQ(texts, row.texts) << row.size;
    }
}

}  // namespace
