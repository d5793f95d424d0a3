// The built library as a host uses it: loaded by file name, reached only
// through its exports and the interface.
#include "ConfigValues.h"
#include "HostPlatform.h"
#include "LiveSession.h"
#include "PropertyNames.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using namespace Zr::Kdt::Trace;

PropertyValue Value(int32_t number, const std::string& text = "", uint32_t type = 2) { return {type, text, {number}}; }

// The built configuration library, loaded by file name as a debugger does.
struct ConfigLibrary : LoadedLibrary {
    using Manager = std::unique_ptr<CDeviceConfigManager, DestroyDeviceConfigManagerFn>;

    ConfigLibrary() : LoadedLibrary(K4X_LIBRARY_FILE) {}
    // Null when the library or its factory is missing.
    Manager Create(DeviceDescriptor* descriptor) const
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
    DeviceDescriptor descriptor = MakeDescriptor("K4x-DSP0", 0xDEADBEEF, 7);
    ConfigLibrary::Manager owner = library.Create(&descriptor);
    CK4xDeviceConfigManager* manager = AsPropertySetter(owner.get());
};

// The device is read from the descriptor on every call; without one: zeros,
// and the name stays.
TEST_F(HostTest, DeviceInfoFollowsTheDescriptor)
{
    const auto info = [](CDeviceConfigManager& from) {
        uint32_t first = 99, second = 99;
        std::string name = "kept";
        EXPECT_TRUE(from.GetDeviceInfo(first, second, name));
        return std::to_string(first) + "," + std::to_string(second) + "," + name;
    };
    EXPECT_EQ(info(*owner), "3735928559,7,K4x-DSP0");
    descriptor.cpuName = "";
    EXPECT_EQ(info(*owner), "3735928559,7,");
    EXPECT_EQ(info(*library.Create(nullptr)), "0,0,kept");
}

// Values set here are this manager's only. Wrong names change nothing.
TEST_F(HostTest, PropertiesKeepWhatIsSetHereOnlyAndWrongNamesFail)
{
    // The record's type code is not read.
    ASSERT_TRUE(manager->SetProperty("Trace Mode", Value(5, "", 6)));
    EXPECT_EQ(Capture(*library.Create(&descriptor)), ConfigValues{});

    // The protocol is set from the first byte only (little-endian: the low
    // one); Get writes that byte and leaves the host's other three.
    ASSERT_TRUE(manager->SetProperty(kTwpProperty, Value(256)));
    EXPECT_EQ(Get(kTwpProperty, Value(0x5A5A5A5A)).intValue, 0x5A5A5A00);
    ASSERT_TRUE(manager->SetProperty(kTwpProperty, Value(0x42)));
    EXPECT_EQ(Get(kTwpProperty, Value(0x5A5A5A5A)).intValue, 0x5A5A5A01);

    const std::string wrongNames[] = {
        "trace mode",
        "Trace Mode ",
        "Trace",
        "Event Bit4",
        std::string("Trace Mode\0", 11),
    };
    for (const std::string& name : wrongNames) {
        PropertyValue value = Value(1234, "untouched", 6);
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

// Destroying null does nothing, and destroying one of two managers leaves
// the other connected. Unloading the library then unmaps it and closes its
// log: Linux lists no descriptor of this process on it, and Windows removes
// no file that is still open.
TEST(HostUnload, ManagersGoOneByOneThenTheLibraryWithItsLog)
{
    LiveSession session("default");
    const void* code = nullptr;
    {
        ConfigLibrary library;
        auto descriptor = MakeDescriptor("K4x_DSP0");
        ConfigLibrary::Manager first = library.Create(&descriptor);
        const ConfigLibrary::Manager second = library.Create(&descriptor);
        ASSERT_TRUE(first && second);
        first->LoadConfigurationLive();
        second->LoadConfigurationLive();
        library.Find<DestroyDeviceConfigManagerFn>("DestroyDeviceConfigManager")(nullptr);
        first.reset();
        // Only its live server knows K4x_DSP1.
        std::string out;
        EXPECT_TRUE(second->GetOutFile("K4x_DSP1", out));
        code = reinterpret_cast<const void*>(library.Find<CreateDeviceConfigManagerFn>("CreateDeviceConfigManager"));
    }
    EXPECT_EQ(k4xplatform::ModuleFolder(code), "");
    ASSERT_EQ(session.Log().Count("M:DCM: Destroying Channel Server "), 2);
    const fs::path log = fs::path(session.TraceDirectory()) / session.Log().Files()[0];
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error))
        EXPECT_NE(fs::read_symlink(entry.path(), error), log);
    EXPECT_TRUE(fs::remove(log, error)) << error.message();
}

}  // namespace
}  // namespace k4xtest
