// Properties set from their text form, as AETCONFIG payloads carry them.
#include "K4xDeviceCfgMgr.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

namespace {

using Zr::Kdt::Trace::PropertyValue;

class PropertyTextTest : public ::testing::Test {
protected:
    PropertyValue Get(const char* name)
    {
        PropertyValue value;
        EXPECT_TRUE(manager.GetProperty(name, value));
        return value;
    }

    k4xtest::ScratchProfile profile;  // before the manager, which creates its folders in it
    Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4X_NO_SETTINGS_CPU", 0, {}, 0};
    K4xDeviceCfgMgr manager{&descriptor, 0};
};

TEST_F(PropertyTextTest, IntegersConvertLikeAtoi)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"  -5x", -5}, {"+8", 8}, {"\t 31", 31}, {"2147483647", 2147483647},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_TRUE(manager.ParsePropertyText("Sync Frequency", text));
        EXPECT_EQ(Get("Sync Frequency").intValue, expected) << '"' << text << '"';
    }
}

TEST_F(PropertyTextTest, ProtocolIsFalseOnlyForTheSingleZero)
{
    const std::pair<const char*, bool> cases[] = {
        {"0", false}, {"00", true}, {" 0", true}, {"false", true}, {"", true}, {"1", true},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_TRUE(manager.ParsePropertyText("TWP_Protocol", text));
        EXPECT_EQ(Get("TWP_Protocol").boolValue, expected) << '"' << text << '"';
    }
}

TEST_F(PropertyTextTest, EventBitsKeepTheTextUnchanged)
{
    EXPECT_TRUE(manager.ParsePropertyText("Event Bit2", "  x = y  "));
    EXPECT_EQ(Get("Event Bit2").strValue, "  x = y  ");
}

TEST_F(PropertyTextTest, UnknownNamesAreRefusedSilently)
{
    EXPECT_FALSE(manager.ParsePropertyText("CycleModeDelta", "0"));
    EXPECT_FALSE(manager.ParsePropertyText("Trace Mode ", "4"));
    EXPECT_FALSE(manager.ParsePropertyText("trace mode", "4"));
    EXPECT_TRUE(Get("CycleModeDelta").boolValue);
    EXPECT_EQ(Get("Trace Mode").intValue, 0);
    EXPECT_EQ(manager.GetErrorMessage(), "");
}

}  // namespace
