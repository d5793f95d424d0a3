// The process's logging set-up: levels and destinations, loggers by name,
// the free-space rule and the profile it needs.
#include "uLogManager.h"

#include "ErrorOf.h"
#include "ScratchProfile.h"
#include "TraceLog.h"
#include "uEnvironment.h"
#include "uSystemCalls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace k4xtest {
namespace {

using ZR_KDT::uLogger;
using ZR_KDT::uLogManager;

constexpr const char* kLevelVariable = "ZR_TRACE_LOGGING";
constexpr const char* kDirectoryVariable = "ZR_TRACE_LOGGING_DIR";

// Every test runs in a process of its own, so the manager starts fresh.
class uLogManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZR_KDT::GetTraceLoggingDirectory(m_logDirectory);
        m_profile.SetVariable(kDirectoryVariable, m_logDirectory.c_str());
        m_profile.SetVariable(kLevelVariable, "1");
    }

    // Loggers are never deleted; closing their files lets the directory go.
    void TearDown() override
    {
        ZR_KDT::ResetSystemCalls();
        for (const auto& entry : m_log.m_loggers) entry.second->SetEnabled(false);
        if (m_log.m_pLogger.load() != nullptr) m_log.m_pLogger.load()->SetEnabled(false);
    }

    bool Initialize(const char* fileName, bool reuseByName = true)
    {
        return m_log.Initialize(fileName, kLevelVariable, kDirectoryVariable, reuseByName);
    }

    std::string LogFile(const std::string& name) const { return (std::filesystem::path(m_logDirectory) / name).string(); }

    // The two lines a new logger starts with.
    std::vector<std::string> DirectoryLines() const
    {
        return {"M:Logger : trace user settings directory is " + m_profile.SettingsDirectory(),
                "M:Logger : trace temporary data directory is " + m_profile.TraceDirectory() +
                    ZR_KDT::platform::kPathSeparator + "data"};
    }

    ScratchProfile m_profile;
    std::string m_logDirectory;
    uLogManager& m_log = uLogManager::Instance();
};

std::string g_debugOutput;

TEST_F(uLogManagerTest, LevelTable)
{
    struct Row {
        const char* value;
        bool file;
        bool console;
        bool debugger;
        int level;
    };
    const Row rows[] = {
        {"1", true, false, false, 1},    {"2", true, true, false, 1},
        {"3", true, false, false, 2},    {"4", true, true, false, 2},
        {"5", true, true, true, 2},      {"6", true, true, true, 3},
        {"0", false, false, false, 0},   {"7", false, false, false, 7},
        {"", false, false, false, 0},    {"abc", false, false, false, 0},
        {"-2", false, false, false, -2}, {" 3", true, false, false, 2},
        {"4x", true, true, false, 2},    {"99999999999", false, false, false, INT32_MAX},
    };
    ZR_KDT::SystemCalls().debugOutput = [](const char* text) { g_debugOutput += text; };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("ZR_TRACE_LOGGING=\"") + row.value + "\"");
        const std::string name = "level" + std::to_string(index++) + ".txt";
        m_profile.SetVariable(kLevelVariable, row.value);
        g_debugOutput.clear();
        ::testing::internal::CaptureStdout();
        ASSERT_TRUE(Initialize(name.c_str()));
        // The function trace needs level 3, a progress line level 1.
        ZR_KDT::LogAtLevel(3, 4, 0, "uDll:  trace");
        ZR_KDT::LogProgress("DCM: progress");
        const std::string console = ::testing::internal::GetCapturedStdout();

        EXPECT_EQ(m_log.m_nLevel.load(), row.level);
        ASSERT_NE(m_log.Find(name.c_str()), nullptr);
        EXPECT_EQ(m_log.m_pLogger.load(), m_log.Find(name.c_str()));
        EXPECT_EQ(std::filesystem::exists(LogFile(name)), row.file);
        if (row.file) {
            std::vector<std::string> expected = DirectoryLines();
            if (row.level >= 3) expected.push_back("F:uDll:  trace");
            expected.push_back("M:DCM: progress");
            EXPECT_EQ(LogMessagesOf(LogFile(name)), expected);
        }
        const std::string opening = "Logger : trace user settings directory is";
        EXPECT_EQ(console.find(opening) != std::string::npos, row.console) << console;
        EXPECT_EQ(g_debugOutput.find(opening) != std::string::npos, row.debugger) << g_debugOutput;
        m_log.m_pLogger.load()->SetEnabled(false);
    }
}

TEST_F(uLogManagerTest, MissingNamesChangeNothing)
{
    EXPECT_FALSE(m_log.Initialize(nullptr, kLevelVariable, kDirectoryVariable, true));
    EXPECT_FALSE(m_log.Initialize("a.txt", nullptr, kDirectoryVariable, true));
    EXPECT_EQ(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.m_nLevel.load(), 0);
    EXPECT_EQ(m_log.Find(nullptr), nullptr);
}

TEST_F(uLogManagerTest, RegisteredByName)
{
    ASSERT_TRUE(Initialize("first.txt"));
    uLogger* const first = m_log.m_pLogger.load();
    ASSERT_NE(first, nullptr);
    // A second manager of the same process finds the logger and writes no
    // second pair of directory lines; level and destinations stay.
    m_profile.SetVariable(kLevelVariable, "4");
    ASSERT_TRUE(Initialize("first.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), first);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);

    ASSERT_TRUE(Initialize("second.txt"));
    EXPECT_NE(m_log.m_pLogger.load(), first);
    EXPECT_EQ(m_log.m_nLevel.load(), 2);
    ASSERT_TRUE(Initialize("first.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), first);
    EXPECT_EQ(LogMessagesOf(LogFile("first.txt")), DirectoryLines());
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

TEST_F(uLogManagerTest, FreeSpaceThreshold)
{
    ZR_KDT::SystemCalls().freeDiskSpace = FakeFreeSpace;
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
    // level of 1 never stands without a logger. The system cannot be asked
    // about a directory that does not exist.
    ZR_KDT::ResetSystemCalls();
    m_profile.SetVariable(kDirectoryVariable, (m_logDirectory + "/no/such/place").c_str());
    EXPECT_FALSE(Initialize("failed.txt"));
    EXPECT_EQ(m_log.m_pLogger.load(), current);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);

    // Without a directory variable the current volume is asked.
    ZR_KDT::SystemCalls().freeDiskSpace = FakeFreeSpace;
    g_freeBytes = 0;
    EXPECT_FALSE(m_log.Initialize("here.txt", kLevelVariable, nullptr, true));
    EXPECT_EQ(g_queried, "<current>");
}

TEST_F(uLogManagerTest, MissingProfileFailsAfterTheLoggerIsSet)
{
    m_profile.SetVariable("USERPROFILE", "");
    m_profile.SetVariable("HOME", "");
    EXPECT_EQ(ErrorOf<ZR_KDT::source_utilities_error>([&] { Initialize("noprofile.txt"); }),
              "failed to read environment variable \"USERPROFILE\"");
    EXPECT_NE(m_log.m_pLogger.load(), nullptr);
    EXPECT_EQ(m_log.m_nLevel.load(), 1);
}

}  // namespace
}  // namespace k4xtest
