// The promises of Platform.h that the library's own tests cannot reach.
#include "Platform.h"

#include "Bytes.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

namespace k4xtest {
namespace {

using namespace ZR_KDT::platform;

// An empty value is set; a removed or unnamed one reads as "".
TEST(Platform, ReadsBackTheEnvironment)
{
    std::string value;
    ASSERT_TRUE(SetEnvironment("K4X_PLATFORM", ""));
    EXPECT_TRUE(GetEnvironment("K4X_PLATFORM", value));
    ASSERT_TRUE(SetEnvironment("K4X_PLATFORM", nullptr));
    value = "stale";
    EXPECT_FALSE(GetEnvironment("K4X_PLATFORM", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(GetEnvironment(nullptr, value));
}

TEST(Platform, FindsOnlyRunningProcesses)
{
    const uint64_t self = CurrentProcessId();
    EXPECT_EQ(FindProcessById(self), self);
    EXPECT_EQ(FindProcessById(0), 0u);
    EXPECT_EQ(FindProcessById((uint64_t{1} << 32) | self), 0u) << "the high half was dropped";
    uint64_t thread = 1;
    std::thread([&thread] { thread = FindProcessById(CurrentThreadId()); }).join();
    EXPECT_EQ(thread, 0u) << "a thread is no process";
}

// The clock cannot be set, so its fields are held to the ranges LocalTime
// promises: a field taken from the wrong member, offset or scaled falls out.
TEST(Platform, ReadsTheLocalTime)
{
    const LocalTime now = SystemCalls().localTime();
    // field          value             least  most
    const std::tuple<const char*, int, int, int> fields[] = {
        {"year", now.year, 2025, 2199},
        {"month", now.month, 1, 12},
        {"dayOfWeek", now.dayOfWeek, 0, 6},
        {"day", now.day, 1, 31},
        {"milliseconds", now.milliseconds, 0, 999},
    };
    for (const auto& [field, value, least, most] : fields) {
        EXPECT_GE(value, least) << field;
        EXPECT_LE(value, most) << field;
    }
}

TEST(Platform, FilesAndSymbols)
{
    EXPECT_EQ(FindSymbol(nullptr, "malloc"), nullptr);
    ScratchProfile dir;
    const std::string from = dir.Path("from"), to = dir.Path("to");
    WriteBytes(from, "new");
    WriteBytes(to, "old");
    ASSERT_TRUE(SystemCalls().replace(from.c_str(), to.c_str()));
    EXPECT_EQ(ReadBytes(to), "new");
    EXPECT_FALSE(SystemCalls().replace(from.c_str(), to.c_str())) << "nothing left to move";
    EXPECT_TRUE(SystemCalls().opensForReading(to.c_str()));
    EXPECT_FALSE(SystemCalls().opensForReading(from.c_str()));
    uint64_t bytes = 0;
    EXPECT_FALSE(SystemCalls().freeDiskSpace(dir.Path("missing").c_str(), bytes)) << "a failed query read as success";
}

// POSIX has no debugger channel: each text becomes one line of standard error.
TEST(Platform, DebugOutputIsOneLineEach)
{
    if (kPathSeparator != '/') GTEST_SKIP() << "a debugger's channel cannot be read back";
    testing::internal::CaptureStderr();
    SystemCalls().debugOutput("one");
    SystemCalls().debugOutput("two\n");
    SystemCalls().debugOutput("");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "one\ntwo\n\n");
}

}  // namespace
}  // namespace k4xtest
