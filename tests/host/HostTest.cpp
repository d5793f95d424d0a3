// The built library as a host uses it: loaded by file name, reached only
// through its exports and the interface.
#include "LiveSession.h"
#include "PropertyNames.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using Zr::Kdt::Trace::PropertyValue;

PropertyValue Value(int32_t number, const std::string& text = "", uint32_t type = 2) { return {type, text, {number}}; }

// The built configuration library, loaded by file name as a debugger does.
struct ConfigLibrary : LoadedLibrary {
    using Manager = std::unique_ptr<Zr::Kdt::Trace::CDeviceConfigManager, DestroyDeviceConfigManagerFn>;

    ConfigLibrary() : LoadedLibrary(K4X_LIBRARY_FILE) {}
    // Null when the library or its factory is missing.
    Manager Create(Zr::Kdt::Trace::DeviceDescriptor* descriptor) const
    {
        const auto create = Find<CreateDeviceConfigManagerFn>("CreateDeviceConfigManager");
        return Manager(create != nullptr ? create(descriptor, 0) : nullptr,
                       Find<DestroyDeviceConfigManagerFn>("DestroyDeviceConfigManager"));
    }
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(owner, nullptr) << "cannot load the configuration library"; }

    PropertyValue Get(const std::string& name, PropertyValue value = {})
    {
        EXPECT_TRUE(manager->GetProperty(name, value)) << name;
        return value;
    }

    ScratchProfile profile;
    ConfigLibrary library;
    Zr::Kdt::Trace::DeviceDescriptor descriptor = MakeDescriptor("K4x-DSP0", 0xDEADBEEF, 7);
    ConfigLibrary::Manager owner = library.Create(&descriptor);
    Zr::Kdt::Trace::CK4xDeviceConfigManager* manager = Zr::Kdt::Trace::AsPropertySetter(owner.get());
};

// The device is read from the descriptor on every call; without one: zeros,
// and the name stays.
TEST_F(HostTest, DeviceInfoFollowsTheDescriptor)
{
    const auto info = [](Zr::Kdt::Trace::CDeviceConfigManager& from) {
        uint32_t first = 99, second = 99;
        std::string name = "kept";
        EXPECT_TRUE(from.GetDeviceInfo(first, second, name));
        return std::to_string(first) + "," + std::to_string(second) + "," + name;
    };
    EXPECT_EQ(info(*owner), "3735928559,7,K4x-DSP0");
    descriptor.firstNumber = 1;
    descriptor.cpuName = "";
    EXPECT_EQ(info(*owner), "1,7,");
    EXPECT_EQ(info(*library.Create(nullptr)), "0,0,kept");
}

// Type codes and defaults, then values set in this manager only; the type
// code of a set value is ignored. Wrong names change nothing.
TEST_F(HostTest, PropertiesKeepWhatIsSetHereOnlyAndWrongNamesFail)
{
    const int32_t integers[] = {INT32_MIN, -1, 0x7F, 256, 1000000, INT32_MAX};
    const std::string texts[] = {"", " lead and trail ", "a=b\tc\r\nd", std::string("nul\0inside", 10)};
    for (const char* name : kIntegerProperties)
        EXPECT_EQ(std::pair(Get(name).type, Get(name).intValue), std::pair(2u, 0));
    for (const char* name : kEventBitProperties)
        EXPECT_EQ(std::pair(Get(name).type, Get(name).strValue), std::pair(6u, std::string()));
    EXPECT_EQ(std::pair(Get(kTwpProperty).type, Get(kTwpProperty).boolValue), std::pair(5u, false));
    EXPECT_EQ(std::pair(Get(kCycleModeDeltaProperty).type, Get(kCycleModeDeltaProperty).boolValue),
              std::pair(5u, true));
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(manager->SetProperty(kIntegerProperties[i], Value(integers[i], "", 6)));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(manager->SetProperty(kEventBitProperties[i], Value(0, texts[i])));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Get(kIntegerProperties[i]).intValue, integers[i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get(kEventBitProperties[i]).strValue, texts[i]);
    PropertyValue read;
    ASSERT_TRUE(library.Create(&descriptor)->GetProperty("Trace Mode", read));
    EXPECT_EQ(read.intValue, 0);
    EXPECT_EQ(manager->GetErrorMessage(), "");

    // The protocol is set from the first byte only; Get writes one byte and
    // leaves the host's other three as they were.
    for (const auto& [set, first] : {std::pair{256, 0}, {0x7F00, 0}, {0x42, 1}, {1, 1}, {0, 0}}) {
        ASSERT_TRUE(manager->SetProperty(kTwpProperty, Value(set)));
        const PropertyValue value = Get(kTwpProperty, Value(0x5A5A5A5A));
        unsigned char bytes[4];
        std::memcpy(bytes, &value.intValue, 4);
        EXPECT_EQ(bytes[0], first) << set;
        EXPECT_EQ(bytes[1] & bytes[2] & bytes[3], 0x5A) << set;
    }

    ASSERT_TRUE(manager->SetProperty("Trace Mode", Value(5)));
    const std::string wrongNames[] = {"trace mode", "Trace Mode ",  " Trace Mode", "Trace",
                                      "",           "TWP_protocol", "Event Bit4",  std::string("Trace Mode\0", 11)};
    for (const std::string& name : wrongNames) {
        PropertyValue value = Value(1234, "untouched");
        EXPECT_FALSE(manager->GetProperty(name, value)) << name;
        // The type is reset to 2 even on failure.
        EXPECT_EQ(std::to_string(value.type) + value.strValue + std::to_string(value.intValue), "2untouched1234");
        EXPECT_FALSE(manager->SetProperty(name, Value(9))) << name;
    }
    EXPECT_EQ(Get("Trace Mode").intValue, 5);
    EXPECT_FALSE(manager->SetProperty(kCycleModeDeltaProperty, Value(0)));
    EXPECT_TRUE(Get(kCycleModeDeltaProperty).boolValue);
    // Later successes keep the text.
    EXPECT_TRUE(manager->SetProperty("Memory Mode", Value(3)));
    EXPECT_EQ(manager->GetErrorMessage(), "Invalide property name");
}

// The library goes when it is unloaded, also after a failed live connection
// (no trace factory on PATH): it is no longer mapped, and its loggers' file
// is closed, so it can be removed on every system.
TEST(HostUnload, UnloadingTheLibraryUnmapsItAndClosesItsLog)
{
    LiveSession session(nullptr);
    {
        ConfigLibrary library;
        auto descriptor = MakeDescriptor("K4x_DSP0");
        const ConfigLibrary::Manager manager = library.Create(&descriptor);
        ASSERT_NE(manager, nullptr);
        EXPECT_FALSE(manager->LoadConfigurationLive());
        ASSERT_EQ(session.Log().Files().size(), 1u);
        EXPECT_FALSE(session.Log().Messages().empty());
    }
    std::ifstream maps("/proc/self/maps");
    for (std::string mapping; std::getline(maps, mapping);)
        EXPECT_EQ(mapping.find(K4X_LIBRARY_FILE), mapping.npos) << mapping;
    const fs::path log = fs::path(session.TraceDirectory()) / session.Log().Files()[0];
    std::error_code error;
    // Where the system can tell, no descriptor of this process names it.
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error))
        EXPECT_NE(fs::read_symlink(entry.path(), error), log);
    EXPECT_TRUE(fs::remove(log, error)) << error.message();
}

}  // namespace
}  // namespace k4xtest
