// The named trace properties, read and written through the interface.
#include "HostLibrary.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace k4xtest {
namespace {

using Zr::Kdt::Trace::AsPropertySetter;
using Zr::Kdt::Trace::CK4xDeviceConfigManager;
using Zr::Kdt::Trace::PropertyValue;

const char* const kIntegers[] = {"Trace Mode",    "Encoding Mode", "Sync Frequency",
                                 "Number of AEG", "Memory Mode",   "CEMU Status"};
const char* const kEventBits[] = {"Event Bit0", "Event Bit1", "Event Bit2", "Event Bit3"};

class PropertyModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.Loaded()) << "cannot load " << K4X_LIBRARY_FILE;
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

    HostLibrary library;
    DeviceDescriptor descriptor = MakeDescriptor("K4X_NO_SETTINGS_CPU");
    HostLibrary::Manager owner{nullptr, nullptr};
    CK4xDeviceConfigManager* manager = nullptr;
};

PropertyValue Integer(int32_t v)
{
    PropertyValue value;
    value.intValue = v;
    return value;
}

PropertyValue Text(const std::string& text)
{
    PropertyValue value;
    value.type = Zr::Kdt::Trace::PropertyType_Text;
    value.strValue = text;
    return value;
}

TEST_F(PropertyModelTest, FreshManagerHasTheDefaults)
{
    for (const char* name : kIntegers) {
        PropertyValue value = Get(name);
        EXPECT_EQ(value.type, 2u) << name;
        EXPECT_EQ(value.intValue, 0) << name;
    }
    for (const char* name : kEventBits) {
        PropertyValue value = Get(name);
        EXPECT_EQ(value.type, 6u) << name;
        EXPECT_EQ(value.strValue, "") << name;
    }
    PropertyValue twp = Get("TWP_Protocol");
    EXPECT_EQ(twp.type, 5u);
    EXPECT_FALSE(twp.boolValue);
    PropertyValue delta = Get("CycleModeDelta");
    EXPECT_EQ(delta.type, 5u);
    EXPECT_TRUE(delta.boolValue);
    EXPECT_EQ(manager->GetErrorMessage(), "");
}

TEST_F(PropertyModelTest, EverySettablePropertyKeepsWhatWasSet)
{
    int32_t next = INT32_MIN;
    for (const char* name : kIntegers) {
        ASSERT_TRUE(manager->SetProperty(name, Integer(next))) << name;
        next += 1000;
    }
    const std::string texts[] = {"", " lead and trail ", "a=b\tc\r\nd", std::string("nul\0inside", 10)};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(manager->SetProperty(kEventBits[i], Text(texts[i])));

    next = INT32_MIN;
    for (const char* name : kIntegers) {
        EXPECT_EQ(Get(name).intValue, next) << name;
        next += 1000;
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get(kEventBits[i]).strValue, texts[i]);
    EXPECT_EQ(manager->GetErrorMessage(), "");
}

TEST_F(PropertyModelTest, SetIgnoresTheTypeCode)
{
    PropertyValue value = Integer(7);
    value.type = 6;
    value.strValue = "99";
    ASSERT_TRUE(manager->SetProperty("Trace Mode", value));
    EXPECT_EQ(Get("Trace Mode").intValue, 7);
}

TEST_F(PropertyModelTest, ProtocolTravelsInTheFirstByteOnly)
{
    ASSERT_TRUE(manager->SetProperty("TWP_Protocol", Integer(256)));
    EXPECT_FALSE(Get("TWP_Protocol").boolValue);
    ASSERT_TRUE(manager->SetProperty("TWP_Protocol", Integer(0x7F00)));
    EXPECT_FALSE(Get("TWP_Protocol").boolValue);
    ASSERT_TRUE(manager->SetProperty("TWP_Protocol", Integer(0x42)));

    // Get writes one byte: the host's other three stay as they were.
    PropertyValue value = Integer(0x5A5A5A00);
    ASSERT_TRUE(manager->GetProperty("TWP_Protocol", value));
    unsigned char bytes[4];
    std::memcpy(bytes, &value.intValue, 4);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0x5A);
    EXPECT_EQ(bytes[2], 0x5A);
    EXPECT_EQ(bytes[3], 0x5A);
}

TEST_F(PropertyModelTest, WrongNamesFailAndTouchNothing)
{
    ASSERT_TRUE(manager->SetProperty("Trace Mode", Integer(5)));
    const std::string wrongNames[] = {"trace mode", "Trace Mode ",  " Trace Mode", "Trace",
                                      "",           "TWP_protocol", "Event Bit4",  std::string("Trace Mode\0", 11)};
    for (const std::string& name : wrongNames) {
        PropertyValue value = Text("untouched");
        value.intValue = 1234;
        EXPECT_FALSE(manager->GetProperty(name, value)) << name;
        EXPECT_EQ(value.type, 2u) << "type is reset to 2 even on failure";
        EXPECT_EQ(value.strValue, "untouched");
        EXPECT_EQ(value.intValue, 1234);
        EXPECT_FALSE(manager->SetProperty(name, Integer(9))) << name;
    }
    EXPECT_EQ(manager->GetErrorMessage(), "Invalide property name");
    EXPECT_EQ(Get("Trace Mode").intValue, 5);
}

TEST_F(PropertyModelTest, CycleModeDeltaIsReadOnly)
{
    PropertyValue off;
    off.boolValue = false;
    EXPECT_FALSE(manager->SetProperty("CycleModeDelta", off));
    EXPECT_EQ(manager->GetErrorMessage(), "Invalide property name");
    EXPECT_TRUE(Get("CycleModeDelta").boolValue);
}

TEST_F(PropertyModelTest, ErrorTextSurvivesLaterSuccess)
{
    PropertyValue value;
    EXPECT_FALSE(manager->GetProperty("nope", value));
    EXPECT_TRUE(manager->GetProperty("Trace Mode", value));
    EXPECT_TRUE(manager->SetProperty("Memory Mode", Integer(3)));
    EXPECT_EQ(manager->GetErrorMessage(), "Invalide property name");
}

}  // namespace
}  // namespace k4xtest
