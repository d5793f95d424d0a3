// Environment values, path rules and trace directories under a scratch
// profile; uString's replacement, splitting and number rules.
#include "uEnvironment.h"
#include "uString.h"

#include "ErrorOf.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <limits>
#include <tuple>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using namespace ZR_KDT;

constexpr char kSep = platform::kPathSeparator;
constexpr char kOther = kSep == '\\' ? '/' : '\\';

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
    std::vector<std::future<bool>> results;
    for (int i = 0; i < 16; ++i) {
        const std::string name = "K4X_T" + std::to_string(i), value(i + 1, 'v');
        SetEnvironmentValue(name.c_str(), value.c_str());
        results.push_back(std::async(std::launch::async, [name, value, started] {
            started.wait();
            for (int round = 0; round < 200; ++round) if (GetEnvironmentValue(name.c_str()) != value) return false;
            return true;
        }));
    }
    go.set_value();
    for (auto& result : results) EXPECT_TRUE(result.get());
    EXPECT_STREQ(mine, "main value");
}

// Start, component to append (null: only normalized), result.
TEST(uEnvironment, PathsGetSingleNativeSeparators)
{
    const std::string messy = std::string("a") + kOther + kSep + kSep + "b" + kOther + kOther + kOther + "c" + kSep;
    const std::tuple<std::string, const char*, std::string> rows[] = {
        {messy, nullptr, "a/b/c/"}, {std::string(2, kSep) + "server", nullptr, "/server"}, {"", "x", "x"},
        {"a", "x", "a/x"},          {Native("a/"), "x", "a/x"}, {std::string("a") + kOther, "x", "a/x"},
    };
    for (auto [path, component, expected] : rows) {
        component != nullptr ? AppendPathComponent(path, component) : NormalizePath(path);
        EXPECT_EQ(path, Native(expected));
    }
}

// Every failure text of these utilities, with what the failing call leaves (a
// missing profile fails before anything is created); then directories, level by level.
TEST(uEnvironment, TraceDirectoriesAndFailureTexts)
{
    ScratchProfile scratch;
    const std::string profile = scratch.Profile();
    std::string text = "keep", left = "p", right = "q", out;
    const char* const fallback = platform::kProfileFallbackVariable;
    if (fallback != nullptr) {
        scratch.SetVariable("USERPROFILE", nullptr);
        EXPECT_EQ(std::string(GetTraceDirectory(out)), profile + kSep + ".ZR-trace") << fallback << " stands in";
    }
    ASSERT_TRUE(SetEnvironmentValue("K4X_VALUE", "kept"));
    const char* const noProfile = "failed to read environment variable \"USERPROFILE\"";
    const std::pair<std::function<void()>, const char*> rows[] = {
        {[] { SetEnvironmentValue("K4X_VALUE", nullptr); }, "failed set an environment variable value to null"},
        {[] { SetEnvironmentValue(nullptr, "x"); }, "failed set an environment variable name to null"},
        {[] { GetEnvironmentValue(nullptr); }, "failed set an environment variable name to null"},
        {[&] { uString::ReplaceAll(text, nullptr, ""); },
         "unable to perform string replacement from null original text"},
        {[&] { uString::ReplaceAll(text, "e", nullptr); },
         "unable to perform string replacement with null replacement text"},
        {[&] { uString::Split(nullptr, left, right, "\\"); }, "unable to split null string"},
        {[&] { uString::Split("a\\b", left, right, nullptr); }, "unable to split with null delimeter"},
        {[] { uString::ToNumeric<uint64_t>(nullptr); }, "unable to convert null string to numeric"},
        {[] { uString::ToNumeric<uint64_t>(""); }, "unable to convert empty string to numeric"},
        {[&] { GetTraceDirectory(out); }, noProfile},     {[&] { GetTraceLoggingDirectory(out); }, noProfile},
        {[&] { GetTraceDataDirectory(out); }, noProfile}, {[&] { GetTraceSettingsDirectory(out); }, noProfile},
    };
    // No profile: USERPROFILE, then the fallback where there is one (null: unset). An empty USERPROFILE is none.
    const std::tuple<const char*, const char*, const char*> noProfiles[] = {
        {"both unset", nullptr, nullptr},
        {"empty, the fallback set", "", profile.c_str()},
    };
    for (const auto& [label, user, other] : noProfiles) {
        SCOPED_TRACE(label);
        scratch.SetVariable("USERPROFILE", user);
        if (fallback != nullptr) scratch.SetVariable(fallback, other);
        for (const auto& [call, error] : rows) EXPECT_EQ(ErrorOf<source_utilities_error>(call), error);
    }
    EXPECT_STREQ(GetEnvironmentValue("K4X_VALUE"), "kept");
    EXPECT_EQ(text + left + right, "keeppq");
    EXPECT_STREQ(GetEnvironmentValue("K4X_SURELY_UNSET_VARIABLE"), "");
    EXPECT_TRUE(fs::is_empty(profile));

    const fs::path work = fs::path(profile) / "work";
    fs::create_directories(work);
    fs::current_path(work);
    std::string cwd;
    const char* returned = GetWorkingDirectory(cwd);
    EXPECT_EQ(returned, cwd.c_str());
    EXPECT_TRUE(fs::equivalent(cwd, work));

    const std::string absolute = profile + kSep + "abs" + kSep + "deep";
    const std::pair<std::string, int> paths[] = {
        {Native("r1/r2/r3"), 0}, {Native("r1/r2/r3"), -1}, {Native("r1/r2/r3/r4/"), 0},
        {absolute, 0},           {absolute + kSep, -1},
    };
    for (const auto& [path, result] : paths) EXPECT_EQ(CreateDirectoryPath(path.c_str()), result) << path;
    EXPECT_EQ(CreateDirectoryPath(nullptr), -1);
    EXPECT_TRUE(fs::is_directory(work / "r1" / "r2" / "r3" / "r4"));
    EXPECT_TRUE(fs::is_directory(fs::path(absolute)));
    EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 1) << "absolute is not below";
    fs::current_path(fs::temp_directory_path());

    // The settings folder is made on first use.
    scratch.SetVariable("USERPROFILE", profile.c_str());
    if (fallback != nullptr) scratch.SetVariable(fallback, profile.c_str());
    EXPECT_EQ(std::string(GetTraceSettingsDirectory(out)), profile + kSep + ".ZR-trace" + kSep + "settings");
    EXPECT_TRUE(fs::is_directory(out));
}

// ReplaceAll resumes behind the pattern; Split cuts at the first delimiter.
TEST(uString, ReplaceAllAndSplit)
{
    // Text, pattern, replacement, result.
    const std::tuple<const char*, const char*, const char*, const char*> replacements[] = {
        {"C:/a/b", "/", "\\", "C:\\a\\b"}, {"a.dll.dll", ".dll", "", "a.dll"}, {"aaaa", "aa", "a", "aaa"},
        {"abc", "", "x", "abc"},           {"aa", "a", "ba", "baba"},
    };
    for (const auto& [start, pattern, replacement, result] : replacements) {
        std::string text = start;
        EXPECT_EQ(uString::ReplaceAll(text, pattern, replacement), text.c_str());
        EXPECT_EQ(text, result) << start;
    }
    // Text, delimiter, parts found, "left|right".
    const std::tuple<const char*, const char*, int, const char*> splits[] = {
        {"a\\b\\c", "\\", 2, "a|b\\c"}, {"abc", "\\", 1, "abc|"},     {"", "\\", 0, "|"},
        {"\\abc", "\\", 2, "|abc"},     {"ab::cd", "::", 2, "ab|cd"}, {"abc", "", 2, "|abc"},
    };
    std::string left = "old", right = "old";
    for (const auto& [text, delimiter, parts, split] : splits) {
        EXPECT_EQ(uString::Split(text, left, right, delimiter), parts) << text;
        EXPECT_EQ(left + "|" + right, split) << text;
    }
    left = "p\\q";  // the text may be an output's own characters
    EXPECT_EQ(uString::Split(left.c_str(), left, right, "\\"), 2);
    EXPECT_EQ(left + "|" + right, "p|q");
}

TEST(uString, NumbersBothWays)
{
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    const std::pair<const char*, uint64_t> numbers[] = {
        {"42", 42},    {"0x1F", 31}, {"0X1f", 31}, {"010", 8}, {"0", 0},   {"0x", 0},
        {"12abc", 12}, {"abc", 0},   {" 42", 42},  {"08", 0},  {"0xg", 0}, {"0x10z", 16},
    };
    for (const auto& [text, expected] : numbers) EXPECT_EQ(uString::ToNumeric<uint64_t>(text), expected) << text;
    for (const char* text : {"-1", "0xFFFFFFFFFFFFFFFF", "0x1FFFFFFFFFFFFFFFF", "18446744073709551616"})
        EXPECT_EQ(uString::ToNumeric<uint64_t>(text), kMax) << text;
    // Single bytes are read as numbers, not as characters.
    EXPECT_EQ(uString::ToNumeric<uint8_t>("65"), 65);
    EXPECT_EQ(uString::ToNumeric<int8_t>("-5"), -5);

    // Appended to what is there already.
    std::string out = "pid=";
    EXPECT_EQ(&uString::ToString<int32_t>(out, std::numeric_limits<int32_t>::min(), 0, 0, 0, '\0'), &out);
    uString::ToString<uint64_t>(out, kMax, 0, 0, 0, '\0');
    EXPECT_EQ(out, "pid=-214748364818446744073709551615");
    out.clear();
    EXPECT_EQ(uString::ToString<uint32_t>(out, 7, 0, 0, 3, '0'), "007");
    EXPECT_STREQ(uString::FormatNumber(7, out, false, nullptr), "7");
    EXPECT_STREQ(uString::FormatNumber(126, out, true, " GetLastError() returned %d"), "7 GetLastError() returned 126");
    uString::FormatNumber(5, out, false, (std::string(2000, 'x') + "%d").c_str());
    EXPECT_EQ(out, std::string(1023, 'x'));
}

}  // namespace
}  // namespace k4xtest
