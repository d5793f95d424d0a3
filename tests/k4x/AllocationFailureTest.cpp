// A load whose buffer cannot be had. This program alone replaces the global allocation functions, so that any
// allocation from a set size on fails.
#include "Bytes.h"
#include "K4xDeviceCfgMgr.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>

static std::size_t g_failFrom = SIZE_MAX;

void* operator new(std::size_t size)
{
    void* memory = size < g_failFrom ? std::malloc(size == 0 ? 1 : size) : nullptr;
    return memory != nullptr ? memory : throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }  // the array forms call these

namespace {

// The section's buffer is as large as its 2 MiB of data; the failure is reported, nothing of the section taken.
TEST(AllocationFailureTest, TdfLoadTable)
{
    const struct {
        std::size_t failFrom;
        const char* error;  // "": loaded
        int32_t traceMode;
    } rows[] = {{SIZE_MAX, "", 6}, {1 << 20, "Memory allocation failure", 0}};
    for (const auto& row : rows) {
        k4xtest::ScratchProfile profile;
        Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4X ALLOCATION", 0, {}, 0};
        K4xDeviceCfgMgr manager(&descriptor, 0);
        const std::string path = profile.Path("big.tdf");
        const std::string data = "Trace Mode=6\n" + std::string(2 << 20, '\n');
        k4xtest::WriteFile(path, k4xtest::TdfImage({k4xtest::Section("AETCONFIG", 2, data)}));
        g_failFrom = row.failFrom;
        const bool loaded = manager.LoadConfiguration(path, 0);
        g_failFrom = SIZE_MAX;
        EXPECT_EQ(loaded, *row.error == '\0');
        EXPECT_EQ(manager.GetErrorMessage(), row.error);
        Zr::Kdt::Trace::PropertyValue value;
        EXPECT_TRUE(manager.GetProperty("Trace Mode", value) && value.intValue == row.traceMode) << value.intValue;
    }
}

}  // namespace
