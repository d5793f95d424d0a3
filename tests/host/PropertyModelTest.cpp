// The built library as a host uses it: loaded by file name, reached only
// through its exports and the interface.
#include "LoadedLibrary.h"
#include "PropertyNames.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace k4xtest {
namespace {

using Zr::Kdt::Trace::AsPropertySetter;
using Zr::Kdt::Trace::CK4xDeviceConfigManager;
using Zr::Kdt::Trace::DeviceDescriptor;
using Zr::Kdt::Trace::PropertyValue;

PropertyValue Integer(int32_t v)
{
    PropertyValue value;
    value.intValue = v;
    return value;
}

PropertyValue Text(const std::string& text)
{
    PropertyValue value;
    value.strValue = text;
    return value;
}

class PropertyModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.Usable()) << "cannot load the configuration library";
        owner = library.Create(&descriptor);
        ASSERT_NE(owner, nullptr);
        manager = AsPropertySetter(owner.get());
    }

    PropertyValue Get(const char* name)
    {
        PropertyValue value;
        EXPECT_TRUE(manager->GetProperty(name, value)) << name;
        return value;
    }

    ScratchProfile profile;
    ConfigLibrary library;
    DeviceDescriptor descriptor = MakeDescriptor("K4x-DSP0", 0xDEADBEEF, 7);
    ConfigLibrary::Manager owner{nullptr, nullptr};
    CK4xDeviceConfigManager* manager = nullptr;
};

TEST_F(PropertyModelTest, DeviceInfoIsReadFromTheDescriptorOnEveryCall)
{
    uint32_t first = 0, second = 0;
    std::string name = "stale";
    EXPECT_TRUE(manager->GetDeviceInfo(first, second, name));
    EXPECT_EQ(first, 0xDEADBEEFu);
    EXPECT_EQ(second, 7u);
    EXPECT_EQ(name, "K4x-DSP0");
    descriptor.firstNumber = 1;
    descriptor.cpuName = "";
    EXPECT_TRUE(manager->GetDeviceInfo(first, second, name));
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(name, "");

    // Without a descriptor: zeros, and the name stays.
    auto bare = library.Create(nullptr);
    first = second = 99;
    name = "kept";
    EXPECT_TRUE(bare->GetDeviceInfo(first, second, name));
    EXPECT_EQ(first + second, 0u);
    EXPECT_EQ(name, "kept");
}

TEST_F(PropertyModelTest, DefaultsAndTypeCodes)
{
    for (const char* name : kIntegerProperties) {
        EXPECT_EQ(Get(name).type, 2u) << name;
        EXPECT_EQ(Get(name).intValue, 0) << name;
    }
    for (const char* name : kEventBitProperties) {
        EXPECT_EQ(Get(name).type, 6u) << name;
        EXPECT_EQ(Get(name).strValue, "") << name;
    }
    EXPECT_EQ(Get(kTwpProperty).type, 5u);
    EXPECT_FALSE(Get(kTwpProperty).boolValue);
    EXPECT_EQ(Get(kCycleModeDeltaProperty).type, 5u);
    EXPECT_TRUE(Get(kCycleModeDeltaProperty).boolValue);
    EXPECT_EQ(manager->GetErrorMessage(), "");
}

TEST_F(PropertyModelTest, EverySettablePropertyKeepsWhatWasSetInThisManagerOnly)
{
    auto other = library.Create(&descriptor);
    const int32_t integers[] = {INT32_MIN, -1, 0x7F, 256, 1000000, INT32_MAX};
    for (int i = 0; i < 6; ++i) {
        PropertyValue value = Integer(integers[i]);
        value.type = 6;  // the type code is ignored
        ASSERT_TRUE(manager->SetProperty(kIntegerProperties[i], value));
    }
    const std::string texts[] = {"", " lead and trail ", "a=b\tc\r\nd", std::string("nul\0inside", 10)};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(manager->SetProperty(kEventBitProperties[i], Text(texts[i])));

    for (int i = 0; i < 6; ++i) EXPECT_EQ(Get(kIntegerProperties[i]).intValue, integers[i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get(kEventBitProperties[i]).strValue, texts[i]);
    PropertyValue read;
    ASSERT_TRUE(other->GetProperty("Trace Mode", read));
    EXPECT_EQ(read.intValue, 0);
    EXPECT_EQ(manager->GetErrorMessage(), "");
}

TEST_F(PropertyModelTest, ProtocolTravelsInTheFirstByteOnly)
{
    const struct {
        int32_t set;
        bool read;
    } rows[] = {{256, false}, {0x7F00, false}, {0x42, true}, {1, true}, {0, false}};
    for (const auto& row : rows) {
        ASSERT_TRUE(manager->SetProperty(kTwpProperty, Integer(row.set)));
        // Get writes one byte: the host's other three stay as they were.
        PropertyValue value = Integer(0x5A5A5A5A);
        ASSERT_TRUE(manager->GetProperty(kTwpProperty, value));
        unsigned char bytes[4];
        std::memcpy(bytes, &value.intValue, 4);
        EXPECT_EQ(bytes[0], row.read ? 1 : 0) << row.set;
        EXPECT_EQ(bytes[1] & bytes[2] & bytes[3], 0x5A) << row.set;
    }
}

TEST_F(PropertyModelTest, WrongNamesFailTouchNothingAndTheTextStays)
{
    ASSERT_TRUE(manager->SetProperty("Trace Mode", Integer(5)));
    const std::string wrongNames[] = {"trace mode", "Trace Mode ", " Trace Mode",  "Trace",
                                      "",           "TWP_protocol", "Event Bit4", std::string("Trace Mode\0", 11)};
    for (const std::string& name : wrongNames) {
        PropertyValue value = Text("untouched");
        value.intValue = 1234;
        EXPECT_FALSE(manager->GetProperty(name, value)) << name;
        EXPECT_EQ(value.type, 2u) << "type is reset to 2 even on failure";
        EXPECT_EQ(value.strValue, "untouched");
        EXPECT_EQ(value.intValue, 1234);
        EXPECT_FALSE(manager->SetProperty(name, Integer(9))) << name;
    }
    EXPECT_EQ(Get("Trace Mode").intValue, 5);
    // "CycleModeDelta" is read-only.
    EXPECT_FALSE(manager->SetProperty(kCycleModeDeltaProperty, Integer(0)));
    EXPECT_TRUE(Get(kCycleModeDeltaProperty).boolValue);
    // Later successes keep the text.
    EXPECT_TRUE(manager->SetProperty("Memory Mode", Integer(3)));
    EXPECT_EQ(manager->GetErrorMessage(), "Invalide property name");
}

}  // namespace
}  // namespace k4xtest
