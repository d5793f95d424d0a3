// Environment values, path rules and trace directories under a scratch
// profile; uString's replacement, splitting and number rules.
#include "uEnvironment.h"
#include "uString.h"

#include "ErrorOf.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <tuple>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using namespace ZR_KDT;

constexpr char kSep = k4xplatform::kPathSeparator;

// "a/b" written with this platform's separator.
std::string Native(std::string path)
{
    for (char& c : path) c = c == '/' ? kSep : c;
    return path;
}

// Threads create their slots at once, each reading its own variable; the main thread's value stays where it was.
TEST(uEnvironment, EachThreadKeepsItsOwnSlot)
{
    ASSERT_TRUE(SetEnvironmentValue("K4X_MAIN", "main value"));
    const char* mine = GetEnvironmentValue("K4X_MAIN");
    std::promise<void> go;
    const std::shared_future<void> started = go.get_future().share();
    std::atomic<int> misread{0};
    std::vector<std::thread> threads;
    for (int i = 1; i <= 16; ++i) {
        const std::string value(i, 'v'), name = "K4X_" + value;
        SetEnvironmentValue(name.c_str(), value.c_str());
        threads.emplace_back([&misread, name, value, started] {
            started.wait();
            for (int round = 0; round < 200; ++round) misread += GetEnvironmentValue(name.c_str()) != value;
        });
    }
    go.set_value();
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(misread, 0);
    EXPECT_STREQ(mine, "main value");
}

// Runs of either platform's separator become one native separator; a name
// is appended behind one separator, or alone to an empty path.
TEST(uEnvironment, PathsGetSingleNativeSeparators)
{
    constexpr char kOther = kSep == '\\' ? '/' : '\\';
    std::string path = std::string("a") + kOther + kSep + kSep + "b" + kOther + kOther + kOther + "c" + kSep;
    NormalizePath(path);
    EXPECT_EQ(path, Native("a/b/c/"));
    path.clear();
    AppendPathComponent(path, "x");
    AppendPathComponent(path, "y//z");
    EXPECT_EQ(path, Native("x/y/z"));
}

// Directories level by level from the working directory or the root, then
// the trace folder and the settings folder under the profile, each made on
// first use.
TEST(uEnvironment, CreatesDirectoriesLevelByLevel)
{
    ScratchProfile scratch;
    const fs::path work = scratch.NewFolder("work");
    fs::current_path(work);
    std::string out;
    // "C:/" exists on both targets: the drive on Windows, a folder here on POSIX.
    fs::create_directories(Native("C:/"));
    const std::string absolute = scratch.Path("abs") + kSep + "deep";
    // path                 result
    const std::pair<std::string, int> paths[] = {
        {Native("r1/r2/"), 0},
        {Native("r1/r2"), -1},
        {Native("r1/r2/r3"), 0},
        {absolute, 0},
        {Native("C:/"), 0},  // a drive is walked over, never asked about
    };
    for (const auto& [path, result] : paths) EXPECT_EQ(CreateDirectoryPath(path.c_str()), result) << path;
    EXPECT_EQ(CreateDirectoryPath(nullptr), -1);
    EXPECT_TRUE(fs::is_directory(work / "r1" / "r2" / "r3"));
    EXPECT_TRUE(fs::is_directory(absolute));
    EXPECT_EQ(fs::status(absolute).permissions() & fs::perms::owner_all, fs::perms::owner_all);
    fs::current_path(fs::temp_directory_path());

    EXPECT_EQ(std::string(GetTraceLoggingDirectory(out)), scratch.Profile() + kSep + ".ZR-trace");
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(std::string(GetTraceSettingsDirectory(out)), scratch.Profile() + kSep + ".ZR-trace" + kSep + "settings");
    EXPECT_TRUE(fs::is_directory(out));
}

// The failure texts of the trace directories: without a profile every trace directory fails as the trace directory
// itself does. A null name, which a logger set up without a level variable asks for, has a text of its own.
TEST(uEnvironment, FailureTexts)
{
    std::string out;
    EXPECT_EQ(ErrorOf([] { GetEnvironmentValue(nullptr); }), "failed set an environment variable name to null");
    ScratchProfile scratch;
    const char* const fallback = k4xplatform::kProfileFallbackVariable;
    const std::string home = scratch.Path("home");
    const std::string noProfile = "failed to read environment variable \"USERPROFILE\"";
    // name, USERPROFILE, the fallback (HOME; none on Windows), the trace directory or the failure
    const std::tuple<const char*, const char*, const char*, std::string> profiles[] = {
        {"unset, HOME set", nullptr, home.c_str(), fallback != nullptr ? home + kSep + ".ZR-trace" : noProfile},
        {"empty, HOME set", "", home.c_str(), noProfile},
    };
    for (const auto& [name, user, other, expected] : profiles) {
        scratch.SetVariable("USERPROFILE", user);
        if (fallback != nullptr) scratch.SetVariable(fallback, other);
        const std::string error = ErrorOf([&] { GetTraceDirectory(out); });
        EXPECT_EQ(error == "<no error>" ? out : error, expected) << name;
    }
}

// ReplaceAll resumes behind the pattern; Split cuts at the first delimiter.
TEST(uString, ReplaceAllAndSplit)
{
    // text          pattern  replacement  result
    const std::tuple<const char*, const char*, const char*, const char*> replacements[] = {
        {"aaaa", "aa", "a", "aaa"},
        {"abc", "", "x", "abc"},
        {"aa", "a", "ba", "baba"},
    };
    for (const auto& [start, pattern, replacement, result] : replacements) {
        std::string text = start;
        EXPECT_EQ(uString::ReplaceAll(text, pattern, replacement), text.c_str());
        EXPECT_EQ(text, result) << start;
    }
    // text        delimiter  parts  "left|right"
    const std::tuple<const char*, const char*, int, const char*> splits[] = {
        {"a\\b\\c", "\\", 2, "a|b\\c"},
        {"abc", "\\", 1, "abc|"},
        {"", "\\", 0, "|"},
        {"ab::cd", "::", 2, "ab|cd"},
    };
    std::string left = "old", right = "old";
    for (const auto& [text, delimiter, parts, split] : splits) {
        EXPECT_EQ(uString::Split(text, left, right, delimiter), parts) << text;
        EXPECT_EQ(left + "|" + right, split) << text;
    }
}

TEST(uString, NumbersBothWays)
{
    // text    value
    const std::pair<const char*, uint64_t> numbers[] = {
        {"42", 42},
        {"0x1F", 31},
        {"0X1f", 31},
        {"010", 8},
        {"08", 0},
        {"0", 0},
        {"0x", 0},
        {"12abc", 12},
        {"abc", 0},
        {" 42", 42},
        {"12345678901234567890", 12345678901234567890u},
    };
    for (const auto& [text, expected] : numbers) EXPECT_EQ(uString::ToNumeric(text), expected) << text;
    std::string out = "pid=";
    EXPECT_EQ(&uString::ToString(out, UINT64_MAX), &out);
    EXPECT_EQ(out, "pid=18446744073709551615");
    EXPECT_STREQ(uString::FormatNumber(126, out, "returned %d"), "returned 126");
}

}  // namespace
}  // namespace k4xtest
