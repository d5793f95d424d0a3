// Environment values, path rules and the trace directories under a
// temporary profile.
#include "uEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "ErrorOf.h"
#include "Platform.h"
#include "ScratchProfile.h"

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using namespace ZR_KDT;
using k4xtest::ErrorOf;

constexpr char kSep = platform::kPathSeparator;
constexpr char kOther = kSep == '\\' ? '/' : '\\';

// "a/b" written with this platform's separator.
std::string Native(std::string path)
{
    for (char& c : path) c = c == '/' ? kSep : c;
    return path;
}

class uEnvironmentTest : public ::testing::Test {
protected:
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    ScratchProfile scratch;
    const std::string profile = scratch.Profile();
    const fs::path root = profile;
};

TEST_F(uEnvironmentTest, ValuesAndNullArguments)
{
    EXPECT_STREQ(GetEnvironmentValue("K4X_SURELY_UNSET_VARIABLE"), "");
    EXPECT_TRUE(SetEnvironmentValue("K4X_VALUE", "one"));
    EXPECT_STREQ(GetEnvironmentValue("K4X_VALUE"), "one");
    EXPECT_TRUE(SetEnvironmentValue("K4X_VALUE", ""));
    EXPECT_STREQ(GetEnvironmentValue("K4X_VALUE"), "");

    EXPECT_TRUE(SetEnvironmentValue("K4X_VALUE", "kept"));
    EXPECT_EQ(ErrorOf<source_utilities_error>([] { SetEnvironmentValue("K4X_VALUE", nullptr); }),
              "failed set an environment variable value to null");
    EXPECT_EQ(ErrorOf<source_utilities_error>([] { SetEnvironmentValue(nullptr, nullptr); }),
              "failed set an environment variable name to null");
    EXPECT_EQ(ErrorOf<source_utilities_error>([] { GetEnvironmentValue(nullptr); }), "failed set an environment variable name to null");
    EXPECT_STREQ(GetEnvironmentValue("K4X_VALUE"), "kept");
}

TEST_F(uEnvironmentTest, EachThreadKeepsItsOwnSlot)
{
    ASSERT_TRUE(SetEnvironmentValue("K4X_MAIN", "main value"));
    const char* mine = GetEnvironmentValue("K4X_MAIN");
    // Many threads creating their slots at once, each reading its own
    // variable; the main thread's value stays where it was.
    constexpr int kThreads = 16;
    for (int i = 0; i < kThreads; ++i) {
        SetEnvironmentValue(("K4X_T" + std::to_string(i)).c_str(), std::string(i + 1, 'v').c_str());
    }
    std::atomic<bool> go{false};
    std::vector<std::future<bool>> results;
    for (int i = 0; i < kThreads; ++i) {
        results.push_back(std::async(std::launch::async, [i, &go] {
            while (!go) std::this_thread::yield();
            const std::string name = "K4X_T" + std::to_string(i);
            bool ok = true;
            for (int round = 0; round < 200; ++round) {
                const char* value = GetEnvironmentValue(name.c_str());
                ok = ok && std::string(value) == std::string(i + 1, 'v');
            }
            return ok;
        }));
    }
    go = true;
    for (auto& result : results) EXPECT_TRUE(result.get());
    EXPECT_STREQ(mine, "main value");
}

TEST_F(uEnvironmentTest, PathsGetSingleNativeSeparators)
{
    std::string path = std::string("a") + kOther + kSep + kSep + "b" + kOther + kOther + kOther + "c" + kSep;
    NormalizePath(path);
    EXPECT_EQ(path, Native("a/b/c/"));
    path = std::string(2, kSep) + "server";
    NormalizePath(path);
    EXPECT_EQ(path, Native("/server"));

    const std::pair<std::string, std::string> appends[] = {
        {"", "x"},
        {"a", "a/x"},
        {Native("a/"), "a/x"},
        {std::string("a") + kOther, "a/x"},
    };
    for (const auto& [start, expected] : appends) {
        path = start;
        AppendPathComponent(path, "x");
        EXPECT_EQ(path, Native(expected)) << start;
    }
}

TEST_F(uEnvironmentTest, CreateDirectoryPathLevelByLevel)
{
    const fs::path work = root / "work";
    fs::create_directories(work);
    fs::current_path(work);
    std::string cwd;
    const char* returned = GetWorkingDirectory(cwd);
    EXPECT_EQ(returned, cwd.c_str());
    EXPECT_TRUE(fs::equivalent(cwd, work));

    EXPECT_EQ(CreateDirectoryPath(Native("r1/r2/r3").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(work / "r1" / "r2" / "r3"));
    EXPECT_EQ(CreateDirectoryPath(Native("r1/r2/r3").c_str()), -1);
    EXPECT_EQ(CreateDirectoryPath(Native("r1/r2/r3/r4/").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(work / "r1" / "r2" / "r3" / "r4"));
    EXPECT_EQ(CreateDirectoryPath(nullptr), -1);

    // Absolute paths start from the root, never below the working directory.
    const std::string absolute = root.string() + kSep + "abs" + kSep + "deep";
    EXPECT_EQ(CreateDirectoryPath(absolute.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(root / "abs" / "deep"));
    EXPECT_EQ(CreateDirectoryPath((absolute + kSep).c_str()), -1);
    EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 1);
}

TEST_F(uEnvironmentTest, TraceDirectoriesUnderTheProfile)
{
    const std::string trace = profile + kSep + ".ZR-trace";
    std::string out = "stale";
    const char* returned = GetTraceDirectory(out);
    EXPECT_EQ(returned, out.c_str());
    EXPECT_EQ(out, trace);
    EXPECT_FALSE(fs::exists(trace));

    EXPECT_EQ(std::string(GetTraceSettingsDirectory(out)), trace + kSep + "settings");
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(std::string(GetTraceDataDirectory(out)), trace + kSep + "data");
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(std::string(GetTraceLoggingDirectory(out)), trace);

    // Foreign, doubled and trailing separators in the profile fold away.
    std::string messy = profile;
    for (char& c : messy) c = c == kSep ? kOther : c;
    messy += std::string(1, kSep) + kSep;
    scratch.SetVariable("USERPROFILE", messy.c_str());
    EXPECT_EQ(std::string(GetTraceDirectory(out)), trace);
}

TEST_F(uEnvironmentTest, MissingProfileFailsBeforeCreatingAnything)
{
    const char* fallback = platform::kProfileFallbackVariable;
    if (fallback != nullptr) {
        scratch.SetVariable("USERPROFILE", "");
        scratch.SetVariable(fallback, profile.c_str());
        std::string out;
        EXPECT_EQ(std::string(GetTraceDirectory(out)), profile + kSep + ".ZR-trace");
        scratch.SetVariable(fallback, "");
    }
    const std::string expected = "failed to read environment variable \"USERPROFILE\"";
    for (const char* unset : {"", static_cast<const char*>(nullptr)}) {
        scratch.SetVariable("USERPROFILE", unset);
        std::string out;
        EXPECT_EQ(ErrorOf<source_utilities_error>([&] { GetTraceDirectory(out); }), expected);
        EXPECT_EQ(ErrorOf<source_utilities_error>([&] { GetTraceLoggingDirectory(out); }), expected);
        EXPECT_EQ(ErrorOf<source_utilities_error>([&] { GetTraceDataDirectory(out); }), expected);
        EXPECT_EQ(ErrorOf<source_utilities_error>([&] { GetTraceSettingsDirectory(out); }), expected);
    }
    EXPECT_TRUE(fs::is_empty(root));
}

}  // namespace
}  // namespace k4xtest
