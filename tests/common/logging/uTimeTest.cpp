#include "uTime.h"

#include <cstring>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace ZR_KDT {
namespace {

std::string Format(const uTime& time, const char* pattern, int size = 64)
{
    char buffer[64];
    const char* result = time.Format(buffer, size, pattern);
    return result != nullptr ? result : "<null>";
}

TEST(uTime, MillisecondTokens)
{
    uTime now;
    const std::string padded = Format(now, "%s");
    ASSERT_TRUE(std::regex_match(padded, std::regex(R"(\d{3})"))) << padded;
    const int milliseconds = std::stoi(padded);

    EXPECT_EQ(Format(now, "%s-%s"), padded + "-" + padded);
    EXPECT_EQ(Format(now, "at %#s ms"), "at " + std::to_string(milliseconds) + " ms");
    EXPECT_EQ(Format(now, "%#s%#s|%s"), std::to_string(milliseconds) + std::to_string(milliseconds) + "|" + padded);

    const std::string stamp = Format(now, "%H:%M:%S:%s | ");
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d:\d\d:\d\d:\d{3} \| )"))) << stamp;
    EXPECT_EQ(stamp.substr(9, 3), padded);
}

TEST(uTime, DateFieldsAgreeWithStrftime)
{
    uTime first;
    uTime latest;
    // Accessors and patterns read the one shared record, on any object.
    EXPECT_EQ(std::stoi(Format(first, "%Y")), latest.GetYear());
    EXPECT_EQ(std::stoi(Format(first, "%m")), first.GetMonth());
    EXPECT_EQ(std::stoi(Format(latest, "%d")), first.GetDay());
    EXPECT_EQ(Format(latest, "%y"), Format(latest, "%Y").substr(2));
    EXPECT_GE(latest.GetMonth(), 1);
    EXPECT_LE(latest.GetMonth(), 12);

    // The day of the week the system reports matches the date (Sakamoto).
    static const int kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int year = latest.GetYear();
    if (latest.GetMonth() < 3) --year;
    const int weekday =
        (year + year / 4 - year / 100 + year / 400 + kMonthOffset[latest.GetMonth() - 1] + latest.GetDay()) % 7;
    EXPECT_EQ(Format(latest, "%w"), std::to_string(weekday));
}

TEST(uTime, SmallBuffersNeverOverrun)
{
    uTime now;
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(now.Format(buffer, 0, "%s"), nullptr);
    EXPECT_EQ(now.Format(buffer, -5, "%s"), nullptr);
    EXPECT_EQ(now.Format(nullptr, 8, "%s"), nullptr);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(16, '#'));

    auto formatInto = [&](int size, const char* pattern) {
        std::memset(buffer, '#', sizeof buffer);
        const std::string text = now.Format(buffer, size, pattern);
        for (int i = size; i < static_cast<int>(sizeof buffer); ++i) EXPECT_EQ(buffer[i], '#') << pattern;
        return text;
    };
    // A pattern longer than the buffer is cut to size less one.
    EXPECT_EQ(formatInto(6, "abcdefgh"), "abcde");
    EXPECT_EQ(formatInto(1, "abc"), "");
    // "%s" needs four bytes with its NUL; without them the stamp is empty.
    EXPECT_EQ(formatInto(4, "%s").size(), 3u);
    EXPECT_EQ(formatInto(3, "%s"), "");
    EXPECT_EQ(formatInto(8, "abc%s%s"), "");
    // A result that strftime cannot fit is empty too.
    EXPECT_EQ(formatInto(4, "%Y"), "");
    EXPECT_EQ(formatInto(5, "%Y").size(), 4u);
    EXPECT_EQ(formatInto(4, nullptr), "");
}

}  // namespace
}  // namespace ZR_KDT
