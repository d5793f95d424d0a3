// The logging stack, bottom up: stamps of a fixed clock, the owner-checked
// lock, the shared log file, log lines byte for byte, the manager, and the
// log read back.
#include "uFile.h"
#include "uLogFollower.h"
#include "uLogManager.h"
#include "uLogger.h"
#include "uMutex.h"
#include "uTime.h"

#include "FixedClock.h"
#include "ScratchProfile.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <future>
#include <thread>
#include <tuple>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using namespace ZR_KDT;

// Where the milliseconds or the whole result do not fit, the buffer holds
// "": 4 bytes hold "045" and the NUL. Nothing is written beyond size.
TEST(uTime, FormatsTheFixedTimeWithinTheBuffer)
{
    FixedClock clock;
    // size  pattern                      result (null: Format fails)
    const std::tuple<int, const char*, const char*> rows[] = {
        {64, "%m/%d/%y %H:%M:%S %Y %w", "03/07/26 09:05:03 2026 6"},
        {64, "%#s%#s|%s-%s", "4545|045-045"},
        {4, "%s", "045"},
        {3, "%s", ""},
        {8, "abc%s%s", ""},
        {4, "%Y", ""},
        {6, "abcdefgh", "abcde"},
        {4, nullptr, ""},
        {0, "%s", nullptr},
        {-1, "%s", nullptr},
    };
    for (const auto& [size, pattern, expected] : rows) {
        SCOPED_TRACE(std::to_string(size) + " bytes for " + (pattern != nullptr ? pattern : "null"));
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_STREQ(uTime().Format(buffer, size, pattern), expected);
        for (int i = std::max(size, 0); i < 64; ++i) ASSERT_EQ(buffer[i], '#');
    }
    EXPECT_EQ(uTime().Format(nullptr, 8, "%s"), nullptr);
}

// Held twice: another thread cannot release the lock.
TEST(uMutex, OnlyTheOwnerReleases)
{
    uMutex lock;
    EXPECT_FALSE(lock.Unlock());
    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Lock());
    bool unlocked = true;
    std::thread([&] { unlocked = lock.Unlock(); }).join();
    EXPECT_FALSE(unlocked) << "another thread released the lock";
    EXPECT_TRUE(lock.Unlock());
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.Unlock()) << "two Unlocks free a lock taken twice";
}

// True once the thread sleeps, as one that waits for a lock does ("S" in its /proc stat line, after the name).
bool Sleeping(uint64_t thread)
{
    const std::string stat = ReadBytes("/proc/self/task/" + std::to_string(thread) + "/stat");
    const std::size_t name = stat.rfind(')');
    return name != std::string::npos && stat.compare(name, 3, ") S") == 0;
}

// Held twice and released once, the lock still keeps another thread out. The owner releases it the last time only
// when the other thread has entered or sleeps waiting, so a lock that the first Unlock frees always fails.
TEST(uMutex, OthersWaitForTheLastUnlock)
{
    if (k4xplatform::kPathSeparator != '/') GTEST_SKIP() << "only POSIX shows whether a thread sleeps (/proc)";
    uMutex lock;
    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Unlock());
    std::atomic<uint64_t> waiter{0};
    std::atomic<bool> released{false}, entered{false};
    bool seenOnEntry = false;
    std::thread other([&] {
        waiter = k4xplatform::CurrentThreadId();
        lock.Lock();
        seenOnEntry = released;
        entered = true;
        lock.Unlock();
    });
    while (waiter == 0 || !(entered || Sleeping(waiter))) std::this_thread::yield();
    released = true;
    EXPECT_TRUE(lock.Unlock());
    other.join();
    EXPECT_TRUE(seenOnEntry) << "the other thread entered before the last Unlock";
}

// A second writer opens the file meanwhile, which a writer that denied sharing would refuse. Writes to a
// closed uFile are the lines of a logger whose file cannot be opened yet (uLoggerTest below).
TEST(uFile, OpensTheKeptPathAndShares)
{
    ScratchProfile dir;
    const std::string path = dir.Path("shared.txt");
    uFile file(path.c_str(), "wb"), second(path.c_str(), "a+");
    EXPECT_FALSE(file.Flush());
    EXPECT_FALSE(file.Close());
    ASSERT_TRUE(file.Open(nullptr, "wb")) << "a null path opens the constructor's";
    ASSERT_TRUE(second.Open(nullptr, "a+"));
    EXPECT_EQ(file.Write("hello", 5), 5);
    EXPECT_TRUE(file.Flush());
    EXPECT_EQ(second.WriteAndFlush("\n2", 2), 2);
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(second.Close());
    EXPECT_EQ(ReadBytes(path), "hello" + StoredText("\n2"));
}

// Stamp style 0 is a single blank, so whole lines can be compared.
constexpr int kNoTime = 0;

class uLoggerTest : public ::testing::Test {
protected:
    ScratchProfile m_dir;
    FixedClock m_clock;
    std::string m_path = m_dir.Path("log.txt");
    uLogger m_logger{m_path.c_str(), true};
};

// Each line is flushed and shared: the file is read while the logger holds it.
TEST_F(uLoggerTest, PrefixStampAndLineEndOfEachLine)
{
    EXPECT_FALSE(fs::exists(m_path)) << "opened with the first line";
    // categories  stamp style  message      line written
    const std::tuple<unsigned, int, const char*, const char*> rows[] = {
        {0, kNoTime, "never", ""},
        {31, kNoTime, "all", "MWFAE  all\n"},
        {32, kNoTime, "none", "       none\n"},
        {1, kNoTime, "crlf\r\n", "M      crlf\n"},
        {1, kNoTime, "lfcr\n\r", "M      lfcr\n"},
        {1, kNoTime, "cr\r", "M      cr\n"},
        {1, kNoTime, "two\n\n", "M      two\n\n"},
        {1, kNoTime, "crcr\r\r", "M      crcr\r\n"},
        {1, 1, "date", "M     03/07/26 | date\n"},
        {1, 2, "time", "M     09:05:03:045 | time\n"},
        {1, 3, "both", "M     03/07/26 09:05:03:045 | both\n"},
    };
    std::string expected;
    for (const auto& [categories, stamp, message, line] : rows) {
        m_logger.Log(categories, stamp, "%s", message);
        expected += line;
        EXPECT_EQ(ReadBytes(m_path), StoredText(expected)) << message;
    }
    // One field moves on at a time, the milliseconds within one second first: the stamp kept for the line before must
    // not be reused.
    const std::tuple<int k4xplatform::LocalTime::*, int, const char*> moves[] = {
        // field                               value  line written
        {&k4xplatform::LocalTime::milliseconds,   999,   "M     03/07/26 09:05:03:999 | next\n"},
        {&k4xplatform::LocalTime::second,         4,     "M     03/07/26 09:05:04:999 | next\n"},
        {&k4xplatform::LocalTime::minute,         6,     "M     03/07/26 09:06:04:999 | next\n"},
        {&k4xplatform::LocalTime::hour,           10,    "M     03/07/26 10:06:04:999 | next\n"},
        {&k4xplatform::LocalTime::day,            8,     "M     03/08/26 10:06:04:999 | next\n"},
        {&k4xplatform::LocalTime::month,          4,     "M     04/08/26 10:06:04:999 | next\n"},
        {&k4xplatform::LocalTime::year,           2027,  "M     04/08/27 10:06:04:999 | next\n"},
    };
    for (const auto& [field, value, line] : moves) {
        FixedClock::s_time.*field = value;
        m_logger.Log(1, 3, "%s", "next");
        expected += line;
        EXPECT_EQ(ReadBytes(m_path), StoredText(expected)) << line;
    }
    char raw[16] = "raw\r\n";
    EXPECT_EQ(m_logger.WriteLine(raw, 0), 4) << "0 takes the whole string";
    char part[16] = "partial";
    EXPECT_EQ(m_logger.WriteLine(part, 4), 5);
    EXPECT_STREQ(part, "part\n");
    char bare[4] = "\n\r";
    EXPECT_EQ(m_logger.WriteLine(bare, 0), 1);
    // 4096 bytes hold the prefix and blank stamp (7), the message, the line feed and the NUL.
    m_logger.Log(1, kNoTime, "%s", std::string(10000, 'x').c_str());
    EXPECT_EQ(ReadBytes(m_path), StoredText(expected + "raw\npart\n\nM      " + std::string(4087, 'x') + "\n"));
}

TEST_F(uLoggerTest, DisabledWritesNothingAndReopens)
{
    EXPECT_TRUE(m_logger.SetEnabled(false));
    m_logger.Log(1, kNoTime, "dropped");
    EXPECT_FALSE(fs::exists(m_path)) << "no file while disabled";
    EXPECT_FALSE(m_logger.SetEnabled(true));
    m_logger.Log(1, kNoTime, "one");
    m_logger.SetEnabled(false);
    m_logger.SetEnabled(true);
    m_logger.Log(1, kNoTime, "two");
    EXPECT_EQ(ReadBytes(m_path), StoredText("M      one\nM      two\n"));

    // Without append the file starts afresh, once: a file opened again for each line would keep only the last.
    uLogger truncating(m_path.c_str(), false);
    truncating.Log(16, kNoTime, "fresh");
    truncating.Log(16, kNoTime, "last");
    EXPECT_EQ(ReadBytes(m_path), StoredText("    E  fresh\n    E  last\n"));

    // A file that cannot be opened yet is tried again by each line.
    const std::string inside = m_dir.Path("later") + "/log.txt";
    uLogger later(inside.c_str(), true);
    later.Log(1, kNoTime, "lost");
    m_dir.NewFolder("later");
    later.Log(1, kNoTime, "kept");
    EXPECT_EQ(ReadBytes(inside), StoredText("M      kept\n"));
}

thread_local k4xplatform::LocalTime t_clock;

// Other threads' uTimes change the shared time at any moment, here as often as they can: each stamp is still one time
// whole, this thread's (a new second every line, so each line makes its stamp afresh) or another's, never one time's
// seconds with another's milliseconds. A stamp that reads the shared time twice fails here in some runs, not in all:
// nothing runs between the two reads that a test could hold.
TEST_F(uLoggerTest, EachStampIsOneTimeWhileOtherThreadsReadTheClock)
{
    k4xplatform::SystemCalls().localTime = [] { return t_clock; };
    std::atomic<bool> done{false};
    const auto other = [&] {
        t_clock = {2026, 3, 6, 7, 18, 30, 30, 999};
        while (!done) uTime();
    };
    std::thread others[] = {std::thread(other), std::thread(other)};
    for (int line = 0; line < 20000; ++line) {
        t_clock = kFixedTime;
        t_clock.second += line % 2;
        m_logger.Log(1, 2, "x");
    }
    done = true;
    for (std::thread& thread : others) thread.join();
    EXPECT_EQ(ReadBytes(m_path).find("18:30:30:045"), std::string::npos) << "the other time with this one's milliseconds";
}

constexpr const char* kLevelVar = "ZR_TRACE_LOGGING";
constexpr const char* kDirVar = "ZR_TRACE_LOGGING_DIR";
constexpr char kSep = k4xplatform::kPathSeparator;

// Every test runs in a process of its own, so the manager starts fresh.
class uLogManagerTest : public ::testing::Test {
protected:
    // The bootstrap makes the log directory before any set-up asks about its volume.
    void SetUp() override
    {
        fs::create_directory(m_trace);
        m_profile.SetVariable(kDirVar, m_trace.c_str());
        m_profile.SetVariable(kLevelVar, "1");
    }

    bool Initialize(const char* name, bool reuse = true) { return m_log.Initialize(name, kLevelVar, kDirVar, reuse); }

    ScratchProfile m_profile;
    const std::string m_trace = m_profile.Profile() + kSep + ".ZR-trace";
    // The two lines a new logger starts with.
    const std::vector<std::string> m_directoryLines = {
        "M:Logger : trace user settings directory is " + m_trace + kSep + "settings",
        "M:Logger : trace temporary data directory is " + m_trace + kSep + "data",
    };
    uLogManager& m_log = uLogManager::Instance();
};

std::string g_debugOutput;

// The destinations and level of each value; the function trace needs level 3.
TEST_F(uLogManagerTest, LevelTable)
{
    // value          file   console  debugger  level
    const std::tuple<const char*, bool, bool, bool, int> rows[] = {
        {"1", true, false, false, 1},
        {"2", true, true, false, 1},
        {"3", true, false, false, 2},
        {"4", true, true, false, 2},
        {"5", true, true, true, 2},
        {"6", true, true, true, 3},
        {"0", false, false, false, 0},
        {"7", false, false, false, 7},
        {"99999999999", false, false, false, INT32_MAX},
    };
    k4xplatform::SystemCalls().debugOutput = [](const char* text) { g_debugOutput += text; };
    for (const auto& [value, file, console, debugger, level] : rows) {
        SCOPED_TRACE(value);
        m_profile.SetVariable(kLevelVar, value);
        g_debugOutput.clear();
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(Initialize(value));
        LogAtLevel(3, LogCategory_Function, LogStamp_None, "trace");
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(m_log.m_nLevel.load(), level);
        std::vector<std::string> expected = m_directoryLines;
        if (level == 3) expected.push_back("F:trace");
        EXPECT_EQ(LogMessagesOf(m_trace + kSep + value), file ? expected : std::vector<std::string>{});
        EXPECT_EQ(out.empty(), !console) << out;
        EXPECT_EQ(g_debugOutput.empty(), !debugger) << g_debugOutput;
    }
}

TEST_F(uLogManagerTest, LoggersByName)
{
    EXPECT_FALSE(m_log.Initialize("a.txt", nullptr, kDirVar, true));
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.Find(nullptr), nullptr);

    // Without reuse a logger is not registered, only owned for Release, and a later set-up keeps it.
    ASSERT_TRUE(Initialize("kept.txt", false));
    uLogger* const kept = m_log.m_pLogger.load();
    EXPECT_EQ(m_log.Find("kept.txt"), nullptr);
    EXPECT_EQ(m_log.m_unnamedLoggers, std::vector<uLogger*>{kept});
    ASSERT_TRUE(Initialize("other.txt", false));
    EXPECT_EQ(m_log.m_pLogger.load(), kept);
    kept->SetEnabled(false);

    // A known name gives its logger back without a second pair of directory lines; level and destinations stay.
    ASSERT_TRUE(Initialize("first.txt"));
    uLogger* const first = m_log.m_pLogger.load();
    m_profile.SetVariable(kLevelVar, "4");
    ASSERT_TRUE(Initialize("first.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), first);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);
    ASSERT_TRUE(Initialize("second.txt"));
    EXPECT_NE(m_log.m_pLogger.load(), first);
    EXPECT_EQ(m_log.m_nLevel.load(), 2);
    ASSERT_TRUE(Initialize("first.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), first);
    EXPECT_EQ(LogMessagesOf(m_trace + kSep + "first.txt"), m_directoryLines);
}

// A log directory that is a file has no volume to ask about, as GetDiskFreeSpaceExA has none: no logger.
TEST_F(uLogManagerTest, AFileForTheLogDirectoryMakesNoLogger)
{
    const std::string file = m_profile.Path("plain file");
    std::ofstream(file) << "x";
    m_profile.SetVariable(kDirVar, file.c_str());
    EXPECT_FALSE(Initialize("file.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.m_nLevel.load(), 0);
}

std::string g_queried;
uint64_t g_freeBytes = 0;

// Logging stays off below 5,120,000 free bytes on the log's volume.
TEST_F(uLogManagerTest, FreeSpaceAndProfileRules)
{
    k4xplatform::SystemCalls().freeDiskSpace = [](const char* directory, uint64_t& bytes) {
        g_queried = directory != nullptr ? directory : "<current>";
        bytes = g_freeBytes;
        return true;
    };
    g_freeBytes = 5119999;
    EXPECT_FALSE(Initialize("full.txt"));
    EXPECT_EQ(g_queried, m_trace);
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    EXPECT_FALSE(m_log.Initialize("here.txt", kLevelVar, nullptr, true));
    EXPECT_EQ(g_queried, "<current>") << "without a directory the current volume is asked";

    g_freeBytes = 5120000;
    ASSERT_TRUE(Initialize("enough.txt"));
    uLogger* const current = m_log.m_pLogger.load();
    ASSERT_NE(current, nullptr);

    // A failed set-up leaves the earlier logger in place, so level 1 never stands without one.
    g_freeBytes = 0;
    EXPECT_FALSE(Initialize("failed.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), current);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);

    // Without a profile the failure comes after the logger is set.
    g_freeBytes = 5120000;
    m_profile.SetVariable("USERPROFILE", "");
    EXPECT_THROW(Initialize("noprofile.txt"), source_utilities_error);
    EXPECT_NE(m_log.m_pLogger.load(), current);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);
}

std::promise<void> g_writing, g_finish;

// A thread inside a log call, held in its clock reading until g_finish is set.
std::thread HeldWriter(const char* text)
{
    g_writing = {};
    g_finish = {};
    k4xplatform::SystemCalls().localTime = [] {
        g_writing.set_value();
        g_finish.get_future().wait();
        return kFixedTime;
    };
    std::thread writer([text] { LogProgress("%s", text); });
    g_writing.get_future().wait();
    return writer;
}

// A log call that does not come back (a thread stuck in a write, or ended inside one) does not hold Release up: its
// logger stays, owned, and a later Release frees it.
TEST_F(uLogManagerTest, ReleaseDoesNotWaitForAWriterThatDoesNotComeBack)
{
    ASSERT_TRUE(Initialize("stuck.txt"));
    FixedClock clock;
    std::thread writer = HeldWriter("late");
    m_log.Release(std::chrono::milliseconds(0));
    EXPECT_EQ(m_log.m_nLevel.load(), 0);
    g_finish.set_value();
    writer.join();
    EXPECT_EQ(LogMessagesOf(m_trace + kSep + "stuck.txt").back(), "M:late");
    m_log.Release(std::chrono::milliseconds(0));
    EXPECT_TRUE(m_log.m_unnamedLoggers.empty());
}

// A log call that comes back within the patience is waited for, and its logger freed.
TEST_F(uLogManagerTest, ReleaseWaitsForAWriterThatComesBack)
{
    ASSERT_TRUE(Initialize("slow.txt"));
    FixedClock clock;
    std::thread writer = HeldWriter("slow");
    auto released = std::async(std::launch::async, [this] { m_log.Release(std::chrono::hours(1)); });
    EXPECT_EQ(released.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    g_finish.set_value();
    writer.join();
    released.get();
    EXPECT_TRUE(m_log.m_unnamedLoggers.empty());
}

// A record as "line categories style stamp time|message".
std::string Shown(const LogRecord& record)
{
    return std::to_string(record.line) + " " + std::to_string(record.categories) + " " +
           std::to_string(record.stampStyle) + " " + record.stamp + " " + std::to_string(record.timeOfDay) + "|" +
           record.message;
}

// The log comes in pieces of 7 bytes, lines split anywhere; a line that fits no stamp or shows no letter continues
// the record before it.
TEST(uLogReader, SplitsRecordsByTheLoggersLineFormat)
{
    const std::string log =
        "stray\n"
        "M     14:03:07:045 | first\r\n"
        "    E 03/07/26 | two\nlines\n\n"
        "  F    ..\\uDll #12  F(...)\n"
        "M   E 12/31/99 23:59:59:999 | both\n"
        "X     12:00:00:000 | no letter X\n"
        "M     1:00:00:000 | short hour\n"
        "M      unfinished";
    std::vector<std::string> records;
    uLogReader reader([&](const LogRecord& record) { records.push_back(Shown(record)); });
    for (std::size_t at = 0; at < log.size(); at += 7) reader.Feed(log.substr(at, 7));
    reader.Flush();
    EXPECT_EQ(records.size(), 4u) << "an unfinished last line may still continue the record in hand";
    reader.End();
    const std::vector<std::string> expected = {
        "1 0 -1  -1|stray",
        "2 1 2 14:03:07:045 50587045|first",
        "3 16 1 03/07/26 -1|two\nlines\n",
        "6 4 0  -1|..\\uDll #12  F(...)",
        "7 17 3 12/31/99 23:59:59:999 86399999|both\nX     12:00:00:000 | no letter X\nM     1:00:00:000 | short hour",
        "10 1 0  -1|unfinished",
    };
    EXPECT_EQ(records, expected);
}

// Each round of a follower reads what the log gained; a log that got shorter, empty too, is read again from its start.
TEST(uLogFollower, ReadsWhatTheLogGainsAndStartsOverWhenItShrinks)
{
    std::string file = "M      a\nM      b";
    std::vector<std::string> seen;
    uLogReader reader([&](const LogRecord& record) { seen.push_back(std::to_string(record.line) + record.message); });
    uLogFollower follower(reader, [&](uint64_t offset, uint64_t count, std::string& bytes) {
        if (offset < file.size()) bytes = file.substr(offset, count);
        return static_cast<long long>(file.size());
    });
    // What the log holds after each round, and the records handed on by the end of the round.
    const std::vector<std::pair<std::string, std::vector<std::string>>> rounds = {
        {file + "\n c\n", {}},
        {"M      d\n", {"1a", "2b\n c"}},
        {"", {"1a", "2b\n c", "1d"}},
        {"M      e\n", {"1a", "2b\n c", "1d"}},
        {"M      e\n", {"1a", "2b\n c", "1d", "1e"}},
    };
    std::size_t round = 0;
    follower.Follow([&] {
        EXPECT_EQ(seen, rounds[round].second) << "round " << round;
        file = rounds[round].first;
        return ++round < rounds.size();
    });
    EXPECT_EQ(seen, rounds.back().second);
}

}  // namespace
}  // namespace k4xtest
