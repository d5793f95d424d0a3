// Time stamps of a fixed clock: every field and both millisecond tokens.
#include "uTime.h"

#include "FixedClock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace k4xtest {
namespace {

using ZR_KDT::uTime;

std::string Format(const char* pattern, int size = 64)
{
    char buffer[64];
    const char* result = uTime().Format(buffer, size, pattern);
    return result != nullptr ? result : "<null>";
}

TEST(uTime, FieldsOfAFixedTime)
{
    const struct {
        ZR_KDT::platform::LocalTime time;
        const char* pattern;
        const char* expected;
    } rows[] = {
        {kFixedTime, "%H:%M:%S:%s | ", "09:05:03:045 | "},
        {kFixedTime, "%m/%d/%y %Y %w", "03/07/26 2026 6"},
        {kFixedTime, "at %#s ms", "at 45 ms"},
        {kFixedTime, "%#s%#s|%s-%s", "4545|045-045"},
        {{2026, 12, 4, 31, 23, 59, 59, 7}, "%s %#s", "007 7"},
        {{2026, 12, 4, 31, 23, 59, 59, 0}, "%s %#s", "000 0"},
        {{2026, 12, 4, 31, 23, 59, 59, 999}, "%s %#s %d.%m.", "999 999 31.12."},
    };
    for (const auto& row : rows) {
        FixedClock clock(row.time);
        EXPECT_EQ(Format(row.pattern), row.expected) << row.pattern;
    }
    FixedClock clock;
    const uTime time;
    EXPECT_EQ(time.GetYear() * 10000 + time.GetMonth() * 100 + time.GetDay(), 20260307);
    // Every uTime reads the one shared record, which the newest one refreshed.
    FixedClock later({2027, 1, 5, 1, 0, 0, 0, 0});
    EXPECT_EQ(uTime().GetYear(), 2027);
    EXPECT_EQ(time.GetYear(), 2027);
}

TEST(uTime, SmallBuffersNeverOverrun)
{
    FixedClock clock;
    const uTime now;
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(now.Format(buffer, 0, "%s"), nullptr);
    EXPECT_EQ(now.Format(buffer, -5, "%s"), nullptr);
    EXPECT_EQ(now.Format(nullptr, 8, "%s"), nullptr);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(16, '#'));

    const struct {
        int size;
        const char* pattern;
        const char* expected;
    } rows[] = {
        {6, "abcdefgh", "abcde"},  // a longer pattern is cut to size less one
        {1, "abc", ""},
        {4, "%s", "045"},  // "%s" needs four bytes with its NUL
        {3, "%s", ""},     // without them the stamp is empty
        {8, "abc%s%s", ""},
        {4, "%Y", ""},  // a result that strftime cannot fit is empty too
        {5, "%Y", "2026"},
        {4, nullptr, ""},
    };
    for (const auto& row : rows) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(std::string(now.Format(buffer, row.size, row.pattern)), row.expected) << row.size;
        for (int i = row.size; i < static_cast<int>(sizeof buffer); ++i) EXPECT_EQ(buffer[i], '#') << row.size;
    }
}

}  // namespace
}  // namespace k4xtest
