// The text configuration reader on tiny inputs.
#include "K4xTextFormat.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Every entry the reader yields, and how it stopped.
std::pair<Entries, K4xTextReader::Result> ReadAll(const std::string& text)
{
    K4xTextReader reader(text);
    Entries entries;
    std::string_view name, value;
    K4xTextReader::Result result;
    while ((result = reader.Next(name, value)) == K4xTextReader::Entry) entries.emplace_back(name, value);
    return {entries, result};
}

TEST(K4xTextReaderTest, TrimsNameEndsAndValueStarts)
{
    const auto [entries, end] = ReadAll("Trace Mode = 5\nEvent Bit0   ==   x = y  \nEvent Bit1 = \n");
    EXPECT_EQ(end, K4xTextReader::End);
    EXPECT_EQ(entries, (Entries{{"Trace Mode", "5"}, {"Event Bit0", "x = y  "}, {"Event Bit1", ""}}));
}

TEST(K4xTextReaderTest, LineEndsBelongToNames)
{
    // An empty line makes the next name start with a line feed; a line that
    // starts with "=" yields an empty name and its rest joins the next name.
    EXPECT_EQ(ReadAll("A = 1\n\nB = 2\n").first, (Entries{{"A", "1"}, {"\nB", "2"}}));
    EXPECT_EQ(ReadAll("=x\nB = 2").first, (Entries{{"", ""}, {"x\nB", "2"}}));
    // A trailing empty line is a name without "=": it is still an entry.
    EXPECT_EQ(ReadAll("A = 1\n\n").first, (Entries{{"A", "1"}, {"\n", ""}}));
    // Blanks alone before "=" trim to an empty name; the value is consumed.
    EXPECT_EQ(ReadAll("   = 7\nB = 2\n").first, (Entries{{"", "7"}, {"B", "2"}}));
}

TEST(K4xTextReaderTest, CarriageReturnBeforeLineFeedIsPartOfTheLineEnd)
{
    EXPECT_EQ(ReadAll("A = 1\r\nB = x\r\r\n").first, (Entries{{"A", "1"}, {"B", "x\r"}}));
    EXPECT_EQ(ReadAll("A = 1\r").first, (Entries{{"A", "1\r"}}));
}

TEST(K4xTextReaderTest, FieldsAreLimitedTo1023Characters)
{
    const std::string longest(1023, 'v');
    EXPECT_EQ(ReadAll("A = " + longest.substr(3)).first, (Entries{{"A", longest.substr(3)}}));
    EXPECT_EQ(ReadAll(std::string(1023, 'n') + "=1").second, K4xTextReader::End);
    EXPECT_EQ(ReadAll(std::string(1024, 'n') + "=1").second, K4xTextReader::TooLong);
    EXPECT_EQ(ReadAll("A=" + std::string(1024, 'v')).second, K4xTextReader::TooLong);
    EXPECT_EQ(ReadAll(std::string(5000, 'x')).second, K4xTextReader::TooLong);
}

TEST(K4xTextReaderTest, WriterLinesFitTheLineBuffer)
{
    EXPECT_EQ(FormatTextLine("Trace Mode", "-3"), "Trace Mode = -3\n");
    // name + " = " + value + "\n" may use 1023 characters, not more.
    const std::string fits(1023 - 10 - 4, 'x');
    EXPECT_EQ(FormatTextLine("Event Bit0", fits).size(), 1023u);
    EXPECT_EQ(FormatTextLine("Event Bit0", fits + "x"), "");
}

}  // namespace
