// The version 2 AETCONFIG payload: the writer's line form and the token rule. The version 1 form is held by the
// load rows and the fuzz target's invariants.
#include "AetConfigPayload.h"

#include <gtest/gtest.h>

namespace {

using namespace k4xformat;

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

}  // namespace
