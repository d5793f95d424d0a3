// Finding a running process by id.
#include <gtest/gtest.h>

#include "Platform.h"

#include <thread>

namespace {

using namespace ZR_KDT::platform;

TEST(ProcessTest, FindsOnlyRunningProcesses)
{
    const uint64_t self = CurrentProcessId();
    EXPECT_EQ(FindProcessById(self), self);
    EXPECT_EQ(FindProcessById(0), 0u);
    // Beyond any pid range, and odd (Windows ids are multiples of 4).
    EXPECT_EQ(FindProcessById(0x7FFFFFF1), 0u);
    // The high half must not be dropped on the way to a 32-bit id.
    EXPECT_EQ(FindProcessById((uint64_t{1} << 32) | self), 0u);
    // A running thread of this process is not a process.
    uint64_t thread = 1;
    std::thread([&thread] { thread = FindProcessById(CurrentThreadId()); }).join();
    EXPECT_EQ(thread, 0u);
}

}  // namespace
