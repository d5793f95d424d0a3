#include "uLogManager.h"
#include "uSystemCalls.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LogTestFiles.h"
#include "uEnvironment.h"

namespace ZR_KDT {
namespace {

using test::ReadBytes;
using test::Stored;
using test::TempDirectory;

constexpr const char* kLevelVariable = "ZR_TRACE_LOGGING";
constexpr const char* kDirectoryVariable = "ZR_TRACE_LOGGING_DIR";

// Every test runs in a process of its own, so the manager starts fresh.
class uLogManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetEnvironmentValue("USERPROFILE", m_profile.Path().c_str()));
        GetTraceLoggingDirectory(m_logDirectory);
        ASSERT_TRUE(SetEnvironmentValue(kDirectoryVariable, m_logDirectory.c_str()));
        ASSERT_TRUE(SetEnvironmentValue(kLevelVariable, "1"));
    }

    // Loggers are never deleted; closing their files lets the directory go.
    void TearDown() override
    {
        ResetSystemCalls();
        for (const auto& entry : m_log.m_loggers) entry.second->SetEnabled(false);
        if (m_log.m_pLogger.load() != nullptr) m_log.m_pLogger.load()->SetEnabled(false);
    }

    bool Initialize(const char* fileName, bool reuseByName = true)
    {
        return m_log.Initialize(fileName, kLevelVariable, kDirectoryVariable, reuseByName);
    }

    std::string LogFile(const std::string& name) const { return m_logDirectory + platform::kPathSeparator + name; }

    // The two lines a new logger starts with, without their stamps.
    std::string DirectoryLines()
    {
        std::string settings;
        std::string data;
        return std::string("Logger : trace user settings directory is ") + GetTraceSettingsDirectory(settings) +
               "|Logger : trace temporary data directory is " + GetTraceDataDirectory(data) + "|";
    }

    // The messages of a log file, each followed by "|"; stamps must be style 2.
    static std::string Messages(const std::string& path)
    {
        const std::string text = ReadBytes(path);
        std::string messages;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            messages += (line.size() > 21 ? line.substr(21) : "<short>" + line) + "|";
            start = end + 1;
        }
        return messages;
    }

    TempDirectory m_profile;
    std::string m_logDirectory;
    uLogManager& m_log = uLogManager::Instance();
};

TEST_F(uLogManagerTest, MissingNamesChangeNothing)
{
    EXPECT_FALSE(m_log.Initialize(nullptr, kLevelVariable, kDirectoryVariable, true));
    EXPECT_FALSE(m_log.Initialize("a.txt", nullptr, kDirectoryVariable, true));
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.m_nLevel.load(), 0);
    EXPECT_EQ(m_log.Find(nullptr), nullptr);
}

std::string g_debugOutput;

void RecordDebugOutput(const char* text) { g_debugOutput += text; }

TEST_F(uLogManagerTest, LevelTable)
{
    struct Row {
        const char* value;
        bool file;
        bool console;
        bool debugger;
        int level;
    };
    const std::vector<Row> rows = {
        {"1", true, false, false, 1},    {"2", true, true, false, 1},
        {"3", true, false, false, 2},    {"4", true, true, false, 2},
        {"5", true, true, true, 2},      {"6", true, true, true, 3},
        {"0", false, false, false, 0},   {"7", false, false, false, 7},
        {"", false, false, false, 0},    {"abc", false, false, false, 0},
        {"-2", false, false, false, -2}, {" 3", true, false, false, 2},
        {"4x", true, true, false, 2},    {"99999999999", false, false, false, INT32_MAX},
    };
    SystemCalls().debugOutput = RecordDebugOutput;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(std::string("ZR_TRACE_LOGGING=\"") + row.value + "\"");
        const std::string name = "level" + std::to_string(i) + ".txt";
        ASSERT_TRUE(SetEnvironmentValue(kLevelVariable, row.value));
        g_debugOutput.clear();
        ::testing::internal::CaptureStdout();
        ASSERT_TRUE(Initialize(name.c_str()));
        // The function trace line of the loader needs level 3.
        uLogManager& log = uLogManager::Instance();
        if (log.m_nLevel.load() >= 3) log.m_pLogger.load()->Log(4, 0, "uDll:  trace");
        const std::string console = ::testing::internal::GetCapturedStdout();

        EXPECT_EQ(m_log.m_nLevel.load(), row.level);
        ASSERT_NE(m_log.Find(name.c_str()), nullptr);
        EXPECT_EQ(m_log.m_pLogger.load(), m_log.Find(name.c_str()));
        EXPECT_EQ(std::filesystem::exists(LogFile(name)), row.file);
        if (row.file) {
            const bool traced = row.level >= 3;
            const std::string expected = DirectoryLines();
            EXPECT_EQ(Messages(LogFile(name)), traced ? expected + "<short>  F    uDll:  trace|" : expected);
        }
        EXPECT_EQ(console.find("Logger : trace user settings directory is") != std::string::npos, row.console)
            << console;
        EXPECT_EQ(g_debugOutput.find("Logger : trace user settings directory is") != std::string::npos, row.debugger)
            << g_debugOutput;
        m_log.m_pLogger.load()->SetEnabled(false);
    }
}

TEST_F(uLogManagerTest, RegisteredByName)
{
    ASSERT_TRUE(Initialize("first.txt"));
    uLogger* const first = m_log.m_pLogger.load();
    ASSERT_NE(first, nullptr);
    // A second manager of the same process finds the logger and writes no
    // second pair of directory lines.
    ASSERT_TRUE(SetEnvironmentValue(kLevelVariable, "4"));
    ASSERT_TRUE(Initialize("first.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), first);
    EXPECT_EQ(m_log.m_nLevel.load(), 1) << "level and destinations stay";
    EXPECT_EQ(Messages(LogFile("first.txt")), DirectoryLines());

    ASSERT_TRUE(Initialize("second.txt"));
    EXPECT_NE(m_log.m_pLogger.load(), first);
    EXPECT_EQ(m_log.m_nLevel.load(), 2);
    ASSERT_TRUE(Initialize("first.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), first);
    EXPECT_EQ(Messages(LogFile("first.txt")), DirectoryLines());
}

TEST_F(uLogManagerTest, WithoutReuseTheCurrentLoggerStays)
{
    ASSERT_TRUE(Initialize("kept.txt", false));
    uLogger* const kept = m_log.m_pLogger.load();
    EXPECT_EQ(m_log.Find("kept.txt"), nullptr) << "registered only with reuse";
    ASSERT_TRUE(Initialize("other.txt", false));
    EXPECT_EQ(m_log.m_pLogger.load(), kept);
    EXPECT_FALSE(std::filesystem::exists(LogFile("other.txt")));
}

std::string g_queried;
uint64_t g_freeBytes = 0;

bool FakeFreeSpace(const char* directory, uint64_t& bytes)
{
    g_queried = directory != nullptr ? directory : "<current>";
    bytes = g_freeBytes;
    return true;
}

bool FailingFreeSpace(const char*, uint64_t&) { return false; }

TEST_F(uLogManagerTest, FreeSpaceThreshold)
{
    SystemCalls().freeDiskSpace = FakeFreeSpace;
    g_freeBytes = 5119999;
    EXPECT_FALSE(Initialize("full.txt"));
    EXPECT_EQ(g_queried, m_logDirectory);
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.m_nLevel.load(), 0);
    EXPECT_EQ(m_log.Find("full.txt"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(LogFile("full.txt")));

    g_freeBytes = 5120000;
    ASSERT_TRUE(Initialize("enough.txt"));
    uLogger* const current = m_log.m_pLogger.load();
    ASSERT_NE(current, nullptr);

    // A failed set-up leaves the logger of an earlier one in place, so a
    // level of 1 never stands without a logger.
    SystemCalls().freeDiskSpace = FailingFreeSpace;
    EXPECT_FALSE(Initialize("failed.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), current);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);

    // Without a directory variable the current volume is asked, and the log
    // is named by the file name alone.
    SystemCalls().freeDiskSpace = FakeFreeSpace;
    g_freeBytes = 0;
    EXPECT_FALSE(m_log.Initialize("here.txt", kLevelVariable, nullptr, true));
    EXPECT_EQ(g_queried, "<current>");
}

TEST_F(uLogManagerTest, SystemFreeSpaceQuery)
{
    // The log directory is on the test machine's temporary volume, which has
    // room; a directory that does not exist cannot be asked.
    ASSERT_TRUE(SetEnvironmentValue(kDirectoryVariable, (m_logDirectory + "/no/such/place").c_str()));
    EXPECT_FALSE(Initialize("missing.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    ASSERT_TRUE(SetEnvironmentValue(kDirectoryVariable, m_logDirectory.c_str()));
    EXPECT_TRUE(Initialize("present.txt"));
    EXPECT_TRUE(std::filesystem::exists(LogFile("present.txt")));
}

TEST_F(uLogManagerTest, MissingProfileFailsAfterTheLoggerIsSet)
{
    ASSERT_TRUE(SetEnvironmentValue("USERPROFILE", ""));
    ASSERT_TRUE(SetEnvironmentValue("HOME", ""));
    EXPECT_THROW(Initialize("noprofile.txt"), source_utilities_error);
    EXPECT_NE(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);
}

}  // namespace
}  // namespace ZR_KDT
