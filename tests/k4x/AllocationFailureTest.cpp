// Operations whose memory cannot be had: this program's allocations fail from a set size on
// (k4x_failing_allocation).
#include "Bytes.h"
#include "FailingAllocation.h"
#include "K4xDeviceCfgMgr.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace k4xtest;
using Zr::Kdt::Trace::PropertyValue;

const char* const kMemory = "Memory allocation failure";

// Each operation fails with the text, where even that fits, and throws nothing. A TDF section of 2 MiB claims 128 MiB:
// its buffer is as large as the file, and without one nothing of the section is taken. Event Bit1 holds 2 MiB before
// each operation.
TEST(AllocationFailureTest, OperationTable)
{
    ScratchProfile profile;
    const std::string path = profile.Path("big.tdf");
    const std::string data = "Trace Mode=6\n" + std::string(2 << 20, '\n');
    Bytes image = TdfImage({Section("AETCONFIG", 2, data)});
    SetU32(image, 4, 0x8000000);
    WriteFile(path, image);
    const PropertyValue big{6, std::string(2 << 20, 'x'), {0}};
    const struct {
        const char* name;
        const char* property;  // null: the TDF load
        bool get;              // the property is read, else set to 2 MiB
        std::size_t failFrom;
        bool done;
        const char* error;
        int32_t traceMode;
    } rows[] = {
        // clang-format off
        // name                  property      get    failFrom  done   error    Trace Mode
        {"tdf load",             nullptr,      false, 4 << 20,  true,  "",      6},  // not the claimed 128 MiB
        {"tdf load, no buffer",  nullptr,      false, 1 << 20,  false, kMemory, 0},
        {"set of 2 MiB",         "Event Bit0", false, 1 << 20,  false, kMemory, 0},
        {"get of 2 MiB",         "Event Bit1", true,  1 << 20,  false, kMemory, 0},
        {"wrong name, no text",  "Trace mode", false, 16,       false, "",      0},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4X ALLOCATION", 0, {}, 0};
        K4xDeviceCfgMgr manager(&descriptor, 0);
        ASSERT_TRUE(manager.SetProperty("Event Bit1", big));
        PropertyValue value;
        g_failFrom = row.failFrom;
        const bool done = row.property == nullptr ? manager.LoadConfiguration(path, 0)
                          : row.get               ? manager.GetProperty(row.property, value)
                                                  : manager.SetProperty(row.property, big);
        g_failFrom = SIZE_MAX;
        EXPECT_EQ(done, row.done);
        EXPECT_EQ(manager.GetErrorMessage(), row.error);
        EXPECT_TRUE(manager.GetProperty("Trace Mode", value) && value.intValue == row.traceMode) << value.intValue;
    }
}

}  // namespace
