// The promises of Platform.h that the library's own tests cannot reach.
#include "Platform.h"

#include "Bytes.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>
#include <tuple>

namespace k4xtest {
namespace {

using namespace ZR_KDT::platform;

TEST(Platform, ReadsBackTheEnvironment)
{
    // Name, value set (null: removed), found, value read.
    const std::tuple<const char*, const char*, bool, const char*> rows[] = {
        {"K4X_PLATFORM_VALUE", "one two", true, "one two"}, {"K4X_PLATFORM_EMPTY", "", true, ""},
        {"K4X_PLATFORM_UNSET", nullptr, false, ""},         {nullptr, nullptr, false, ""},
    };
    for (const auto& [name, set, found, expected] : rows) {
        const std::string label = name != nullptr ? name : "(null)";
        ASSERT_TRUE(name == nullptr || SetEnvironment(name, set)) << label;
        std::string value = "stale";
        EXPECT_EQ(GetEnvironment(name, value), found) << label;
        EXPECT_EQ(value, expected) << label;
    }
}

TEST(Platform, FindsOnlyRunningProcesses)
{
    const uint64_t self = CurrentProcessId();
    EXPECT_EQ(FindProcessById(self), self);
    EXPECT_EQ(FindProcessById(0), 0u);
    // Beyond any pid range, and odd (Windows ids are multiples of 4).
    EXPECT_EQ(FindProcessById(0x7FFFFFF1), 0u);
    EXPECT_EQ(FindProcessById((uint64_t{1} << 32) | self), 0u) << "the high half was dropped";
    uint64_t thread = 1;
    std::thread([&thread] { thread = FindProcessById(CurrentThreadId()); }).join();
    EXPECT_EQ(thread, 0u) << "a thread is no process";
}

// Checked against the C library's own conversion of one second.
TEST(Platform, ReadsTheLocalTime)
{
    std::time_t before, after;
    LocalTime now;
    do {
        before = std::time(nullptr);
        now = SystemCalls().localTime();
        after = std::time(nullptr);
    } while (before != after);
    const std::tm t = *std::localtime(&before);
    EXPECT_EQ(std::make_tuple(now.year, now.month, now.day, now.dayOfWeek, now.hour, now.minute, now.second),
              std::make_tuple(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_wday, t.tm_hour, t.tm_min, t.tm_sec));
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
}

}  // namespace
}  // namespace k4xtest
