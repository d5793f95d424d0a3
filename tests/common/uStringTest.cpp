// Replacement, splitting and number conversion rules of uString.
#include "uString.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using k4xtest::ErrorOf;
using ZR_KDT::uString;

std::string Replaced(std::string text, const char* pattern, const char* replacement)
{
    EXPECT_EQ(uString::ReplaceAll(text, pattern, replacement), text.c_str());
    return text;
}

TEST(uStringTest, ReplaceAllResumesBehindThePatternAndNeverLoops)
{
    EXPECT_EQ(Replaced("C:/a/b", "/", "\\"), "C:\\a\\b");
    EXPECT_EQ(Replaced("x.dll", ".dll", ""), "x");
    EXPECT_EQ(Replaced("a.dll.dll", ".dll", ""), "a.dll");
    EXPECT_EQ(Replaced("aaaa", "aa", "a"), "aaa");
    EXPECT_EQ(Replaced("plain", "/", "\\"), "plain");
    EXPECT_EQ(Replaced("a/b", "/", "//"), "a//b");
    // Guards: an empty pattern, and a replacement that matches again inside itself.
    EXPECT_EQ(Replaced("abc", "", "x"), "abc");
    EXPECT_EQ(Replaced("aa", "a", "ba"), "baba");

    std::string text = "keep";
    EXPECT_EQ(ErrorOf<uString::error>([&] { uString::ReplaceAll(text, nullptr, nullptr); }),
              "unable to perform string replacement from null original text");
    EXPECT_EQ(ErrorOf<uString::error>([&] { uString::ReplaceAll(text, "e", nullptr); }),
              "unable to perform string replacement with null replacement text");
    EXPECT_EQ(text, "keep");
}

TEST(uStringTest, SplitAtTheFirstDelimiter)
{
    struct Case {
        const char* text;
        const char* delimiter;
        int parts;
        const char* split;  // left|right
    };
    const Case cases[] = {
        {"a\\b\\c", "\\", 2, "a|b\\c"}, {"abc", "\\", 1, "abc|"},     {"", "\\", 0, "|"},
        {"\\abc", "\\", 2, "|abc"},     {"ab::cd", "::", 2, "ab|cd"}, {"abc", "", 2, "|abc"},
    };
    std::string left = "old", right = "old";
    for (const Case& c : cases) {
        EXPECT_EQ(uString::Split(c.text, left, right, c.delimiter), c.parts) << c.text;
        EXPECT_EQ(left + "|" + right, c.split) << c.text;
    }

    right = "x\\y\\z";  // the text is right's own characters
    EXPECT_EQ(uString::Split(right.c_str(), left, right, "\\"), 2);
    EXPECT_EQ(left + "|" + right, "x|y\\z");
    left = "p\\q";
    EXPECT_EQ(uString::Split(left.c_str(), left, right, "\\"), 2);
    EXPECT_EQ(left + "|" + right, "p|q");

    EXPECT_EQ(ErrorOf<uString::error>([&] { uString::Split(nullptr, left, right, nullptr); }), "unable to split null string");
    EXPECT_EQ(ErrorOf<uString::error>([&] { uString::Split("a", left, right, nullptr); }), "unable to split with null delimeter");
    EXPECT_EQ(left + "|" + right, "p|q");
}

TEST(uStringTest, ToNumericChoosesTheBaseFromThePrefix)
{
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    const std::pair<const char*, uint64_t> cases[] = {
        {"42", 42},
        {"0x1F", 31},
        {"0X1f", 31},
        {"010", 8},
        {"0777", 511},
        {"0", 0},
        {"0x", 0},
        {"12abc", 12},
        {"abc", 0},
        {" 42", 42},
        {"08", 0},
        {"-1", kMax},
        {"0xg", 0},
        {"0x10z", 16},
        {"0xFFFFFFFFFFFFFFFF", kMax},
        {"0x1FFFFFFFFFFFFFFFF", kMax},
        {"18446744073709551616", kMax},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(uString::ToNumeric<uint64_t>(text), expected) << text;
    // Single bytes are read as numbers, not as characters.
    EXPECT_EQ(uString::ToNumeric<uint8_t>("65"), 65);
    EXPECT_EQ(uString::ToNumeric<int8_t>("-5"), -5);
    EXPECT_EQ(uString::ToNumeric<int32_t>("-1"), -1);

    EXPECT_EQ(ErrorOf<uString::error>([] { uString::ToNumeric<uint64_t>(nullptr); }), "unable to convert null string to numeric");
    EXPECT_EQ(ErrorOf<uString::error>([] { uString::ToNumeric<uint64_t>(""); }), "unable to convert empty string to numeric");
}

TEST(uStringTest, ToStringAppendsTheFirstWord)
{
    std::string out = "pid=";
    EXPECT_EQ(&uString::ToString<int32_t>(out, -5, 0, 0, 0, 0), &out);
    EXPECT_EQ(out, "pid=-5");
    const auto fresh = [](auto value, int32_t flags, int32_t width, char fill) {
        std::string text;
        return uString::ToString<decltype(value)>(text, value, flags, 0, width, fill);
    };
    EXPECT_EQ(fresh(42u, 0, 5, 0), "42");  // blank padding dropped
    EXPECT_EQ(fresh(42u, 0, 5, '0'), "00042");
    EXPECT_EQ(fresh(42, std::ios::showpos, 0, 0), "+42");
    EXPECT_EQ(fresh(std::numeric_limits<uint64_t>::max(), 0, 0, 0), "18446744073709551615");
    EXPECT_EQ(fresh(std::numeric_limits<int32_t>::min(), 0, 0, 0), "-2147483648");
}

TEST(uStringTest, FormatNumberReplacesOrAppendsAndCutsLongOutput)
{
    std::string out = "old";
    EXPECT_STREQ(uString::FormatNumber(7, out, false, nullptr), "7");
    EXPECT_STREQ(uString::FormatNumber(126, out, true, " GetLastError() returned %d"), "7 GetLastError() returned 126");
    EXPECT_EQ(uString::FormatNumber(1, out, false, "%x"), out.c_str());

    const std::string longFormat = std::string(2000, 'x') + "%d";
    uString::FormatNumber(5, out, false, longFormat.c_str());
    EXPECT_EQ(out, std::string(1023, 'x'));
}

}  // namespace
