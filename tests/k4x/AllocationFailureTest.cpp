// A load whose buffer cannot be had. This program alone replaces the global
// allocation functions, so that any allocation from a set size on fails.
#include "Bytes.h"
#include "K4xDeviceCfgMgr.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
std::size_t g_failFrom = SIZE_MAX;
}  // namespace

void* operator new(std::size_t size)
{
    void* memory = size < g_failFrom ? std::malloc(size == 0 ? 1 : size) : nullptr;
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

// The section's buffer is as large as its 2 MiB of data.
TEST(AllocationFailureTest, TdfLoadTable)
{
    const struct {
        std::size_t failFrom;
        bool loaded;
        const char* error;
        int32_t traceMode;
    } rows[] = {
        {SIZE_MAX, true, "", 6},
        {1 << 20, false, "Memory allocation failure", 0},
    };
    for (const auto& row : rows) {
        k4xtest::ScratchProfile profile;
        Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4X ALLOCATION", 0, {}, 0};
        K4xDeviceCfgMgr manager(&descriptor, 0);
        const std::string path = profile.Path("big.tdf");
        k4xtest::WriteFile(path, k4xtest::TdfImage({k4xtest::Section(
                                     "AETCONFIG", 2, "Trace Mode=6\n" + std::string(2 << 20, '\n'))}));
        g_failFrom = row.failFrom;
        const bool loaded = manager.LoadConfiguration(path, 0);
        g_failFrom = SIZE_MAX;
        EXPECT_EQ(loaded, row.loaded);
        EXPECT_EQ(manager.GetErrorMessage(), row.error);
        Zr::Kdt::Trace::PropertyValue value;
        ASSERT_TRUE(manager.GetProperty("Trace Mode", value));
        EXPECT_EQ(value.intValue, row.traceMode);
    }
}

}  // namespace
