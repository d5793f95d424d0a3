// Reading back what was set in the environment, the same on every backend.
#include <gtest/gtest.h>

#include "Platform.h"

#include <string>

namespace {

using namespace ZR_KDT::platform;

struct EnvironmentCase {
    const char* name;
    const char* set;  // null: removed before the read
    bool found;
    const char* value;
};

const EnvironmentCase kEnvironmentCases[] = {
    {"K4X_PLATFORM_VALUE", "one two", true, "one two"},
    {"K4X_PLATFORM_EMPTY", "", true, ""},
    {"K4X_PLATFORM_UNSET", nullptr, false, ""},
    {nullptr, nullptr, false, ""},
};

TEST(EnvironmentTest, ReadsWhatWasSet)
{
    for (const EnvironmentCase& row : kEnvironmentCases) {
        const std::string label = row.name != nullptr ? row.name : "(null name)";
        if (row.name != nullptr) {
            ASSERT_TRUE(SetEnvironment(row.name, row.set)) << label;
        }
        std::string value = "stale";
        EXPECT_EQ(GetEnvironment(row.name, value), row.found) << label;
        EXPECT_EQ(value, row.value) << label;
    }
}

}  // namespace
