// The exports and the calling contract, seen from a host.
#include "HostLibrary.h"

#include <gtest/gtest.h>

namespace k4xtest {
namespace {

using Zr::Kdt::Trace::AsPropertySetter;
using Zr::Kdt::Trace::PropertyValue;

class InterfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library.Loaded()) << "cannot load " << K4X_LIBRARY_FILE; }
    HostLibrary library;
};

TEST_F(InterfaceTest, DestroyOfNullDoesNothing) { library.Destroy()(nullptr); }

// The version resource of the DLL, or the versioned file name of the .so.
TEST_F(InterfaceTest, TheLoadedFileCarriesTheProjectVersion)
{
    std::string version;
    ASSERT_TRUE(ZR_KDT::platform::ModuleVersion(library.Module(), version));
    EXPECT_EQ(version, K4X_PROJECT_VERSION);
}

TEST_F(InterfaceTest, DeviceInfoComesFromTheDescriptor)
{
    DeviceDescriptor descriptor = MakeDescriptor("K4x-DSP0", 0xDEADBEEF, 7);
    auto manager = library.Create(&descriptor, 0x1122334455667788ULL);
    ASSERT_NE(manager, nullptr);

    uint32_t first = 0, second = 0;
    std::string name = "stale";
    EXPECT_TRUE(manager->GetDeviceInfo(first, second, name));
    EXPECT_EQ(first, 0xDEADBEEFu);
    EXPECT_EQ(second, 7u);
    EXPECT_EQ(name, "K4x-DSP0");

    // The descriptor is read on every call, not copied at construction.
    descriptor.firstNumber = 1;
    descriptor.cpuName = "";
    EXPECT_TRUE(manager->GetDeviceInfo(first, second, name));
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(name, "");
}

TEST_F(InterfaceTest, WithoutDescriptorDeviceInfoLeavesTheNameAlone)
{
    auto manager = library.Create(nullptr);
    ASSERT_NE(manager, nullptr);
    uint32_t first = 99, second = 99;
    std::string name = "kept";
    EXPECT_TRUE(manager->GetDeviceInfo(first, second, name));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, 0u);
    EXPECT_EQ(name, "kept");
}

TEST_F(InterfaceTest, ManagersAreIndependent)
{
    DeviceDescriptor a = MakeDescriptor("CPU_A", 1, 2);
    DeviceDescriptor b = MakeDescriptor("CPU_B", 3, 4);
    auto first = library.Create(&a);
    auto second = library.Create(&b);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    PropertyValue value;
    value.intValue = 42;
    ASSERT_TRUE(AsPropertySetter(first.get())->SetProperty("Trace Mode", value));
    PropertyValue wrong;
    EXPECT_FALSE(first->GetProperty("no such property", wrong));
    first.reset();

    PropertyValue read;
    ASSERT_TRUE(second->GetProperty("Trace Mode", read));
    EXPECT_EQ(read.intValue, 0);
    EXPECT_EQ(second->GetErrorMessage(), "");
    uint32_t n1 = 0, n2 = 0;
    std::string name;
    EXPECT_TRUE(second->GetDeviceInfo(n1, n2, name));
    EXPECT_EQ(name, "CPU_B");
}

}  // namespace
}  // namespace k4xtest
