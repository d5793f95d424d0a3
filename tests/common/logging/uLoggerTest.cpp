// Log lines byte for byte: category letters, stamps of a fixed clock, line
// ends, the size limit, and whole lines from many threads.
#include "uLogger.h"

#include "Bytes.h"
#include "FixedClock.h"
#include "ScratchProfile.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace k4xtest {
namespace {

using ZR_KDT::uLogger;

// Stamp style 0 is a single blank, so whole lines can be compared.
constexpr int kNoTime = 0;

class uLoggerTest : public ::testing::Test {
protected:
    std::string Logged() { return ReadBytes(m_path); }

    ScratchProfile m_dir;
    FixedClock m_clock;
    std::string m_path = m_dir.Path("log.txt");
    uLogger m_logger{m_path.c_str(), true};
};

// Each line is flushed and shared: the file is read while the logger holds it.
TEST_F(uLoggerTest, PrefixAndStampOfEachLine)
{
    EXPECT_FALSE(std::filesystem::exists(m_path)) << "opened with the first line";
    const struct {
        unsigned categories;
        int stamp;
        const char* message;
        const char* line;  // "" when nothing is written
    } rows[] = {
        {1, kNoTime, "one", "M      one\n"},
        {17, kNoTime, "seventeen", "M   E  seventeen\n"},
        {32, kNoTime, "no letter", "       no letter\n"},
        {0, kNoTime, "never", ""},
        {31, kNoTime, "all", "MWFAE  all\n"},
        {2 | 4 | 8, kNoTime, "middle", " WFA   middle\n"},
        {1, 1, "date", "M     03/07/26 | date\n"},
        {1, 2, "time", "M     09:05:03:045 | time\n"},
        {1, 3, "both", "M     03/07/26 09:05:03:045 | both\n"},
        {1, 4, "other", "M      other\n"},
        {1, -1, "negative", "M      negative\n"},
    };
    std::string expected;
    for (const auto& row : rows) {
        m_logger.Log(row.categories, row.stamp, "%s", row.message);
        expected += row.line;
        EXPECT_EQ(Logged(), StoredText(expected)) << row.message;
    }
    m_logger.Log(1, kNoTime, "%d-%s", 14, "formatted");
    EXPECT_EQ(Logged(), StoredText(expected + "M      14-formatted\n"));
}

TEST_F(uLoggerTest, ExactlyOneLineEnd)
{
    for (const char* message : {"crlf\r\n", "lfcr\n\r", "lf\n", "cr\r", "none", "two\n\n", "crcr\r\r", ""})
        m_logger.Log(1, kNoTime, "%s", message);
    EXPECT_EQ(Logged(), StoredText("M      crlf\nM      lfcr\nM      lf\nM      cr\nM      none\n"
                                   "M      two\n\nM      crcr\r\nM      \n"));

    char line[16] = "raw\r\n";
    EXPECT_EQ(m_logger.WriteLine(line, 0), 4);
    EXPECT_STREQ(line, "raw\n");
    char part[16] = "partial";
    EXPECT_EQ(m_logger.WriteLine(part, 4), 5);
    EXPECT_EQ(Logged().substr(Logged().size() - StoredText("raw\npart\n").size()), StoredText("raw\npart\n"));
}

TEST_F(uLoggerTest, TooLongMessageIsCut)
{
    const std::string huge(10000, 'x');
    m_logger.Log(1, kNoTime, "%s", huge.c_str());
    m_logger.Log(1, kNoTime, "after");
    // 4096 bytes hold the prefix and blank stamp (7), the message, the line
    // feed and the NUL.
    EXPECT_EQ(Logged(), StoredText("M      " + std::string(4096 - 7 - 2, 'x') + "\nM      after\n"));
}

TEST_F(uLoggerTest, DisabledWritesNothingAndReopensAppending)
{
    EXPECT_TRUE(m_logger.SetEnabled(false));
    m_logger.Log(1, kNoTime, "dropped");
    EXPECT_FALSE(std::filesystem::exists(m_path)) << "no file while disabled";

    EXPECT_FALSE(m_logger.SetEnabled(true));
    m_logger.Log(1, kNoTime, "one");
    EXPECT_TRUE(m_logger.SetEnabled(false));
    EXPECT_FALSE(m_logger.SetEnabled(true));
    m_logger.Log(1, kNoTime, "two");
    EXPECT_EQ(Logged(), StoredText("M      one\nM      two\n"));

    // A logger that does not append starts the file afresh, and again each
    // time it is switched back on.
    uLogger truncating(m_path.c_str(), false);
    truncating.Log(16, kNoTime, "fresh");
    EXPECT_EQ(Logged(), StoredText("    E  fresh\n"));
    truncating.SetEnabled(false);
    truncating.SetEnabled(true);
    truncating.Log(16, kNoTime, "again");
    EXPECT_EQ(Logged(), StoredText("    E  again\n"));
    truncating.SetEnabled(false);
}

TEST_F(uLoggerTest, UnopenableFileIsRetriedByEachLine)
{
    const std::string inside = m_dir.Path("later") + "/log.txt";
    uLogger logger(inside.c_str(), true);
    logger.Log(1, kNoTime, "lost");
    m_dir.NewFolder("later");
    logger.Log(1, kNoTime, "kept");
    EXPECT_EQ(ReadBytes(inside), StoredText("M      kept\n"));
    logger.SetEnabled(false);
}

TEST_F(uLoggerTest, ThreadsWriteWholeLines)
{
    constexpr int kThreads = 4;
    constexpr int kLines = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i) m_logger.Log(1, 2, "thread %d line %d payload %s", t, i, "abcdefghij");
        });
    }
    for (std::thread& thread : threads) thread.join();

    std::set<std::string> expected;
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kLines; ++i)
            expected.insert("M:thread " + std::to_string(t) + " line " + std::to_string(i) + " payload abcdefghij");
    const std::vector<std::string> lines = LogMessagesOf(m_path);
    EXPECT_EQ(lines.size(), expected.size());
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), expected);
}

}  // namespace
}  // namespace k4xtest
