// The two AETCONFIG payload forms, and properties set from the text that
// the newer one carries.
#include "AetConfigPayload.h"
#include "Bytes.h"
#include "K4xDeviceCfgMgr.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

namespace {

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
        // Not the writer's form: tokens split by separator runs; a last name
        // without a value is dropped.
        {"Trace Mode\t5\r\n\r\nMemory Mode==7\nEvent Bit0", {{"Trace Mode", "5"}, {"Memory Mode", "7"}}},
        {"Trace Mode =5\nEvent Bit0= x\n", {{"Trace Mode ", "5"}, {"Event Bit0", " x"}}},
        // A NUL ends the payload.
        {std::string("Trace Mode=1\n\0Memory Mode=2\n", 28), {{"Trace Mode", "1"}}},
        {"", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseAetConfigVersion2(row.payload.data(), row.payload.size()), row.expected) << row.payload;
    }
}

// Only the fields that start inside the payload are read; the last text may
// lack its NUL.
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
        {0, 0, {}},  {3, 0, {}},      {4, 1, {}},      {19, 4, {}},       {20, 5, {}},             {21, 5, {"a"}},
        {22, 5, {"a"}}, {23, 5, {"a", ""}}, {24, 5, {"a", "", "b"}}, {26, 5, {"a", "", "bc"}}, {27, 5, {"a", "", "bc", "d"}},
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

// Integers as atoi reads them, the protocol off only for the single "0",
// texts unchanged; names no file holds are refused without an error text.
TEST(AetConfigPayloadTest, PropertyTextTable)
{
    k4xtest::ScratchProfile profile;  // before the manager, which creates its folders in it
    Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4X_NO_SETTINGS_CPU", 0, {}, 0};
    K4xDeviceCfgMgr manager{&descriptor, 0};
    const struct {
        const char* name;
        const char* text;
        bool stored;
        std::string read;  // the property (Trace Mode when refused) as text, 0/1 for the protocol
    } rows[] = {
        {"Sync Frequency", "\t -5x", true, "-5"}, {"Sync Frequency", "abc", true, "0"},
        {"TWP_Protocol", "00", true, "1"},       {"TWP_Protocol", "0", true, "0"},  {"TWP_Protocol", " 0", true, "1"},
        {"TWP_Protocol", "0", true, "0"},        {"TWP_Protocol", "", true, "1"},
        {"Event Bit2", " x = y ", true, " x = y "}, {"CycleModeDelta", "0", false, "0"},
        {"trace mode", "4", false, "0"},         {"Trace Mode ", "4", false, "0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(manager.ParsePropertyText(row.name, row.text), row.stored) << row.name << '=' << row.text;
        const std::string name = row.stored ? row.name : "Trace Mode";
        Zr::Kdt::Trace::PropertyValue value;
        ASSERT_TRUE(manager.GetProperty(name.c_str(), value)) << name;
        EXPECT_EQ(name == "TWP_Protocol" ? std::to_string(value.boolValue)
                  : name[0] == 'E'       ? value.strValue
                                         : std::to_string(value.intValue),
                  row.read)
            << row.name << '=' << row.text;
    }
    EXPECT_EQ(manager.GetErrorMessage(), "");
}

}  // namespace
