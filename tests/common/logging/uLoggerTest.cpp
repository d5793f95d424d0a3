#include "uLogger.h"

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "LogTestFiles.h"

namespace ZR_KDT {
namespace {

using test::ReadBytes;
using test::Stored;
using test::TempDirectory;

// Stamp style 0 is a single blank, so whole lines can be compared.
constexpr int kNoTime = 0;

class uLoggerTest : public ::testing::Test {
protected:
    std::string Logged() { return ReadBytes(m_path); }

    TempDirectory m_dir;
    std::string m_path = m_dir.File("log.txt");
    uLogger m_logger{m_path.c_str(), true};
};

// Each line is flushed and shared: the file is read while the logger holds it.
TEST_F(uLoggerTest, CategoryPrefix)
{
    EXPECT_FALSE(std::filesystem::exists(m_path)) << "opened with the first line";
    m_logger.Log(1, kNoTime, "one");
    EXPECT_EQ(Logged(), Stored("M      one\n"));
    m_logger.Log(17, kNoTime, "seventeen");
    m_logger.Log(32, kNoTime, "no letter");
    m_logger.Log(0, kNoTime, "never");
    m_logger.Log(31, kNoTime, "all");
    m_logger.Log(2 | 4 | 8, kNoTime, "%d-%s", 14, "middle");
    EXPECT_EQ(Logged(), Stored("M      one\n"
                               "M   E  seventeen\n"
                               "       no letter\n"
                               "MWFAE  all\n"
                               " WFA   14-middle\n"));
}

TEST_F(uLoggerTest, StampStyles)
{
    m_logger.Log(1, 1, "date");
    m_logger.Log(1, 2, "time");
    m_logger.Log(1, 3, "both");
    m_logger.Log(1, 4, "other");
    m_logger.Log(1, -1, "negative");
    std::istringstream lines(Logged());
    const std::string cr = K4X_CRLF_FILES ? "\r" : "";
    const char* const expected[] = {
        R"(M     \d\d/\d\d/\d\d \| date)",
        R"(M     \d\d:\d\d:\d\d:\d{3} \| time)",
        R"(M     \d\d/\d\d/\d\d \d\d:\d\d:\d\d:\d{3} \| both)",
        R"(M      other)",
        R"(M      negative)",
    };
    std::string line;
    for (const char* pattern : expected) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_TRUE(std::regex_match(line, std::regex(pattern + cr))) << line;
    }
    EXPECT_FALSE(std::getline(lines, line));
}

TEST_F(uLoggerTest, ExactlyOneLineEnd)
{
    m_logger.Log(1, kNoTime, "crlf\r\n");
    m_logger.Log(1, kNoTime, "lfcr\n\r");
    m_logger.Log(1, kNoTime, "lf\n");
    m_logger.Log(1, kNoTime, "cr\r");
    m_logger.Log(1, kNoTime, "none");
    m_logger.Log(1, kNoTime, "two\n\n");
    m_logger.Log(1, kNoTime, "crcr\r\r");
    m_logger.Log(1, kNoTime, "%s", "");
    EXPECT_EQ(Logged(), Stored("M      crlf\n"
                               "M      lfcr\n"
                               "M      lf\n"
                               "M      cr\n"
                               "M      none\n"
                               "M      two\n\n"
                               "M      crcr\r\n"
                               "M      \n"));
}

TEST_F(uLoggerTest, WriteLineOnItsOwn)
{
    char line[16] = "raw\r\n";
    EXPECT_EQ(m_logger.WriteLine(line, 0), 4);
    EXPECT_STREQ(line, "raw\n");
    char part[16] = "partial";
    EXPECT_EQ(m_logger.WriteLine(part, 4), 5);
    EXPECT_EQ(Logged(), Stored("raw\npart\n"));
}

TEST_F(uLoggerTest, TooLongMessageIsCut)
{
    const std::string huge(10000, 'x');
    m_logger.Log(1, kNoTime, "%s", huge.c_str());
    m_logger.Log(1, kNoTime, "after");
    // 4096 bytes hold the prefix and blank stamp (7), the message, the line
    // feed and the NUL.
    EXPECT_EQ(Logged(), Stored("M      " + std::string(4096 - 7 - 2, 'x') + "\nM      after\n"));
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
    EXPECT_EQ(Logged(), Stored("M      one\nM      two\n"));

    // A logger that does not append starts the file afresh, and again each
    // time it is switched back on.
    uLogger truncating(m_path.c_str(), false);
    truncating.Log(16, kNoTime, "fresh");
    EXPECT_EQ(Logged(), Stored("    E  fresh\n"));
    truncating.SetEnabled(false);
    truncating.SetEnabled(true);
    truncating.Log(16, kNoTime, "again");
    EXPECT_EQ(Logged(), Stored("    E  again\n"));
    truncating.SetEnabled(false);
}

TEST_F(uLoggerTest, UnopenableFileIsRetriedByEachLine)
{
    const std::string inside = m_dir.File("later") + "/log.txt";
    uLogger logger(inside.c_str(), true);
    logger.Log(1, kNoTime, "lost");
    std::filesystem::create_directory(m_dir.File("later"));
    logger.Log(1, kNoTime, "kept");
    EXPECT_EQ(ReadBytes(inside), Stored("M      kept\n"));
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

    std::istringstream lines(Logged());
    const std::regex whole(R"(M     \d\d:\d\d:\d\d:\d{3} \| thread (\d) line (\d+) payload abcdefghij)" +
                           std::string(K4X_CRLF_FILES ? "\r" : ""));
    std::set<std::pair<int, int>> seen;
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, whole)) << line;
        EXPECT_TRUE(seen.emplace(std::stoi(match[1]), std::stoi(match[2])).second) << line;
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
}

}  // namespace
}  // namespace ZR_KDT
