// The promises of Platform.h and HostPlatform.h that the library's own tests cannot reach.
#include "HostPlatform.h"
#include "Platform.h"

#include "Bytes.h"
#include "Inheritable.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

namespace k4xtest {
namespace {

using namespace k4xplatform;

// An empty value is set; a removed or unnamed one reads as "".
TEST(Platform, ReadsBackTheEnvironment)
{
    std::string value;
    ASSERT_TRUE(SetEnvironment("K4X_PLATFORM", ""));
    EXPECT_TRUE(GetEnvironment("K4X_PLATFORM", value));
    ASSERT_TRUE(SetEnvironment("K4X_PLATFORM", nullptr));
    value = "stale";
    EXPECT_FALSE(GetEnvironment("K4X_PLATFORM", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(GetEnvironment(nullptr, value));
}

// The descriptors that the process holds open, as Linux lists them; 0 on Windows, whose files are handles (under
// Wine, /proc lists Wine's own descriptors, which come and go).
std::ptrdiff_t OpenDescriptors()
{
    if (kPathSeparator != '/') return 0;
    std::error_code error;
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd", error), {});
}

TEST(Platform, FindsOnlyRunningProcesses)
{
    const uint64_t self = CurrentProcessId();
    EXPECT_EQ(FindProcessById(self), self);
    EXPECT_EQ(FindProcessById(0), 0u);
    EXPECT_EQ(FindProcessById((uint64_t{1} << 32) | self), 0u) << "the high half was dropped";
    uint64_t thread = 1;
    std::thread([&thread] { thread = FindProcessById(CurrentThreadId()); }).join();
    EXPECT_EQ(thread, 0u) << "a thread is no process";
    // A lookup closes what it opens.
    const auto before = OpenDescriptors();
    for (int i = 0; i < 20; ++i) FindProcessById(self);
    EXPECT_EQ(OpenDescriptors(), before);
}

// The fields agree with the C runtime's local time of the same second, read again when a second passes meanwhile.
TEST(Platform, ReadsTheLocalTime)
{
    std::time_t before = 0, after = 1;
    LocalTime now{};
    while (before != after) {
        before = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        now = SystemCalls().localTime();
        after = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    }
    const std::tm c = *std::localtime(&before);
    EXPECT_EQ(std::vector<int>({now.year, now.month, now.dayOfWeek, now.day, now.hour, now.minute, now.second}),
              std::vector<int>({c.tm_year + 1900, c.tm_mon + 1, c.tm_wday, c.tm_mday, c.tm_hour, c.tm_min, c.tm_sec}));
    EXPECT_GE(now.milliseconds, 0);
    EXPECT_LE(now.milliseconds, 999);
}

const auto kSystemsReadAt = SystemCalls().readAt;
const auto kSystemsStatus = SystemCalls().status;

TEST(Platform, FilesAndSymbols)
{
    EXPECT_EQ(FindSymbol(nullptr, "malloc"), nullptr);
    ScratchProfile dir;
    const std::string from = dir.Path("from"), to = dir.Path("to");
    WriteBytes(from, "new");
    WriteBytes(to, "old");
    ASSERT_EQ(SystemCalls().rename(from.c_str(), to.c_str()), Rename_Done);
    EXPECT_EQ(ReadBytes(to), "new");
    EXPECT_EQ(SystemCalls().rename(from.c_str(), to.c_str()), Rename_Refused) << "nothing left to move";
    EXPECT_TRUE(OpensForReading(to.c_str()));
    EXPECT_FALSE(OpensForReading(from.c_str()));
    // A whole-file read closes the file it opens.
    const std::ptrdiff_t before = OpenDescriptors();
    std::string text;
    for (int i = 0; i < 20; ++i) ReadWholeFile(to.c_str(), text);
    EXPECT_EQ(text, "new");
    EXPECT_EQ(OpenDescriptors(), before);
    // A file of exactly the first read's 4096 bytes ends with the read behind them.
    WriteBytes(to, std::string(4096, 'x'));
    EXPECT_EQ(ReadWholeFile(to.c_str(), text), WholeFileRead_Done);
    EXPECT_EQ(text.size(), 4096u);
    WriteBytes(to, "");
    EXPECT_EQ(ReadWholeFile(to.c_str(), text), WholeFileRead_Done);
    // A read that fails behind the first 4096 bytes is no end of the file.
    WriteBytes(to, std::string(5000, 'x'));
    SystemCalls().readAt = [](File file, uint64_t offset, void* buffer, std::size_t count) {
        return offset == 0 ? kSystemsReadAt(file, offset, buffer, count) : -1;
    };
    EXPECT_EQ(ReadWholeFile(to.c_str(), text), WholeFileRead_Failed);
    ResetSystemCalls();
    // A file that grows behind its measured size reads to its end all the same.
    WriteBytes(to, std::string(10000, 'x'));
    SystemCalls().status = [](const char* path, FileStatus& status) {
        const bool known = kSystemsStatus(path, status);
        status.size = 10;
        return known;
    };
    EXPECT_EQ(ReadWholeFile(to.c_str(), text), WholeFileRead_Done);
    EXPECT_EQ(text.size(), 10000u);
    ResetSystemCalls();
    // A read at the end gives 0, whatever errno held before it.
    const File file = SystemCalls().open(to.c_str(), "rb");
    char byte = 0;
    errno = EINTR;
    EXPECT_EQ(SystemCalls().readAt(file, 20000, &byte, 1), 0);
    SystemCalls().close(file);
    uint64_t bytes = 0;
    EXPECT_TRUE(SystemCalls().freeDiskSpace(dir.Path("").c_str(), bytes));
    EXPECT_FALSE(SystemCalls().freeDiskSpace(dir.Path("missing").c_str(), bytes)) << "a failed query read as success";
    EXPECT_FALSE(SystemCalls().freeDiskSpace(to.c_str(), bytes)) << "a file is no directory";
    EXPECT_TRUE(SystemCalls().remove(to.c_str()));
    EXPECT_FALSE(SystemCalls().remove(to.c_str())) << "nothing left to remove";
}

// No child program gets a file that the library opened: the log ("a+"), a save ("w", "wxp"), a TDF update ("r+b"),
// a read ("rb"). A file made new ("x") is not made over an existing name; a private one ("p") is its owner's alone on
// POSIX (Windows gives it the folder's access).
TEST(Platform, OpenedFilesStayPrivate)
{
    ScratchProfile dir;
    for (const char* mode : {"a+", "w", "wxp", "r+b", "rb"}) {
        const std::string path = dir.Path(std::string("mode ") + mode);
        if (mode[0] == 'r') WriteBytes(path, "x");
        const File file = SystemCalls().open(path.c_str(), mode);
        ASSERT_TRUE(IsOpen(file)) << mode;
        EXPECT_FALSE(InheritedByChildren(file)) << mode;
        SystemCalls().close(file);
    }
    const std::string made = dir.Path("mode wxp");
    EXPECT_FALSE(IsOpen(SystemCalls().open(made.c_str(), "wx"))) << "an existing name";
    const auto owners = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    if (kPathSeparator == '/') {
        EXPECT_EQ(std::filesystem::status(made).permissions(), owners);
    }
}

#if !defined(_WIN32)
// A scratch folder is its maker's until its bits let others in; nothing can be told of a missing one.
TEST(HostPlatform, OwnerAndBitsTellWhoMayWrite)
{
    using std::filesystem::perms;
    ScratchProfile dir;
    EXPECT_EQ(WhoMayWrite(dir.Path("missing").c_str()), FolderWriters_Unknown);
    const std::string folder = dir.NewFolder("folder");
    std::filesystem::permissions(folder, perms::owner_all);
    EXPECT_EQ(WhoMayWrite(folder.c_str()), FolderWriters_Trusted) << "the owner alone";
    std::filesystem::permissions(folder, perms::owner_all | perms::others_write);
    EXPECT_EQ(WhoMayWrite(folder.c_str()), FolderWriters_Others) << "the world";
}

// A folder of another user is others' to write, whatever its bits say.
TEST(HostPlatform, AnotherUsersFolderIsOthers)
{
    ScratchProfile dir;
    const std::string folder = dir.NewFolder("given away");
    if (::chown(folder.c_str(), 1, static_cast<gid_t>(-1)) != 0) GTEST_SKIP() << "giving a folder away needs root";
    EXPECT_EQ(WhoMayWrite(folder.c_str()), FolderWriters_Others);
    // Ours again, but another group's: its bits decide.
    ASSERT_EQ(::chown(folder.c_str(), ::geteuid(), 65534), 0);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(WhoMayWrite(folder.c_str()), FolderWriters_Trusted);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all | std::filesystem::perms::group_write);
    EXPECT_EQ(WhoMayWrite(folder.c_str()), FolderWriters_Others);
}

// A forked child's thread has an id of its own: the child's process id.
TEST(Platform, AForkedChildKnowsItsOwnThread)
{
    CurrentThreadId();  // the parent's, kept before the fork
    const pid_t child = ::fork();
    if (child == 0) std::_Exit(CurrentThreadId() == static_cast<uint32_t>(::getpid()) ? 0 : 1);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
#endif

// POSIX has no debugger channel: each text becomes one line of standard error.
TEST(Platform, DebugOutputIsOneLineEach)
{
    if (kPathSeparator != '/') GTEST_SKIP() << "a debugger's channel cannot be read back";
    testing::internal::CaptureStderr();
    SystemCalls().debugOutput("one");
    SystemCalls().debugOutput("");
    SystemCalls().debugOutput("two\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "one\n\ntwo\n");
}

}  // namespace
}  // namespace k4xtest
