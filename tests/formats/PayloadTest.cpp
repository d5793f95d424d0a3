// The two AETCONFIG payload forms.
#include "AetConfigPayload.h"
#include "Bytes.h"

#include <gtest/gtest.h>

namespace {

using namespace k4xformat;
using k4xtest::U32;

TEST(AetConfigPayloadTest, Version2Table)
{
    const struct {
        const char* name;
        std::string payload;
        const char* pairs;  // each name "=" value ";"
    } rows[] = {
        // clang-format off
        // name                                  payload                                                               pairs
        {"writer's form: empty and '=' kept",    "Trace Mode=3\nEvent Bit0=\nEvent Bit1=a=b\tc\nTWP_Protocol=1\n",     "Trace Mode=3;Event Bit0=;Event Bit1=a=b\tc;TWP_Protocol=1;"},
        {"writer's form with CR LF",             "Trace Mode=3\r\nEvent Bit0=\r\n",                                    "Trace Mode=3;Event Bit0=;"},
        {"separators around a value go",         "Trace Mode==5\nEvent Bit0==abc\t\nEvent Bit1=\t=\nEvent Bit2=c=\n",  "Trace Mode=5;Event Bit0=abc;Event Bit1=;Event Bit2=c=;"},
        {"tokens: a last name without a value",  "Trace Mode=5\tEncoding Mode=3\r\nEvent Bit0=\n",                     "Trace Mode=5;Encoding Mode=3;"},
        {"tokens: runs of separators",           "Trace Mode\t5\r\n\r\nMemory Mode==7\nEvent Bit0",                    "Trace Mode=5;Memory Mode=7;"},
        {"blanks are no separators",             "Trace Mode =5\nEvent Bit0= x\n",                                     "Trace Mode =5;Event Bit0= x;"},
        {"a NUL ends the payload",               std::string("Trace Mode=1\n\0Memory Mode=2\n", 28),                   "Trace Mode=1;"},
        // clang-format on
    };
    for (const auto& row : rows) {
        std::string pairs;
        for (const auto& [name, value] : ParseAetConfigVersion2(row.payload.data(), row.payload.size()).pairs)
            pairs += name + "=" + value + ";";
        EXPECT_EQ(pairs, row.pairs) << row.name;
    }
}

// Only the fields that start inside the payload are read; the last text may lack its NUL.
TEST(AetConfigPayloadTest, Version1TruncationTable)
{
    // Five integers, then from offset 20 the texts "a", "", "bc" and "d" without its NUL.
    const std::string payload = U32(1) + U32(2) + U32(0xFFFFFFFF) + U32(4) + U32(5) + std::string("a\0\0bc\0d", 7);
    const struct {
        const char* name;
        std::size_t size;  // of the payload above, cut there
        const char* read;  // each integer and " ", "| ", each text and ";"
    } rows[] = {
        // clang-format off
        // name                         size read
        {"an integer cut short",        19,  "1 2 -1 4 | "},
        {"the integers alone",          20,  "1 2 -1 4 5 | "},
        {"a text without its NUL",      21,  "1 2 -1 4 5 | a;"},
        {"no text after the last NUL",  22,  "1 2 -1 4 5 | a;"},
        {"an empty text",               23,  "1 2 -1 4 5 | a;;"},
        {"a text cut short",            24,  "1 2 -1 4 5 | a;;b;"},
        {"the whole payload",           27,  "1 2 -1 4 5 | a;;bc;d;"},
        // clang-format on
    };
    for (const auto& row : rows) {
        const AetConfigVersion1 cut =
            ParseAetConfigVersion1(reinterpret_cast<const unsigned char*>(payload.data()), row.size);
        std::string read;
        for (const auto& integer : cut.integers) read += std::to_string(integer.second) + " ";
        read += "| ";
        for (const auto& bit : cut.eventBits) read += bit.second + ";";
        EXPECT_EQ(read, row.read) << row.name;
    }
}

}  // namespace
