// A text save that fails part-way leaves the configuration on disk as it
// was, and no temporary file behind; where no replacement can be made, the
// file is written in place, and a save never changes what kind of file the
// target is, its permissions or its owner.
#include "ConfigTest.h"
#include "Platform.h"
#include "uEnvironment.h"
#include "uSystemCalls.h"
#include "TraceLog.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

// Writes the first half of what it is given and reports the short count,
// as a full disk does.
std::size_t WriteHalf(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    return std::fwrite(data, size, count / 2, file);
}

// Opens every file but the temporary one, as a folder that the user may
// not write does.
std::FILE* RefuseTemporary(const char* path, const char* mode)
{
    return std::strstr(path, "~k4x") != nullptr ? nullptr : std::fopen(path, mode);
}

bool NoRoom(const char*, uint64_t& bytes)
{
    bytes = 10;
    return true;
}

// The trace log's messages as they stand when the save writes its first byte.
std::vector<std::string> g_logAtFirstWrite;
bool g_written = false;

std::vector<std::string> TraceLogMessages()
{
    return TraceLog(ZR_KDT::GetEnvironmentValue("ZR_TRACE_LOGGING_DIR")).Messages();
}

// Whether a message of the log ends with the text.
bool Logged(const std::vector<std::string>& messages, const std::string& text)
{
    return std::any_of(messages.begin(), messages.end(), [&](const std::string& message) {
        return message.size() >= text.size() && message.compare(message.size() - text.size(), text.size(), text) == 0;
    });
}

void RemoveFile(const char* path) { std::remove(path); }

void ReplaceByFolder(const char* path)
{
    std::remove(path);
    fs::create_directory(path);
}

std::size_t WriteAfterReadingTheLog(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    if (!g_written) g_logAtFirstWrite = TraceLogMessages();
    g_written = true;
    return std::fwrite(data, size, count, file);
}

class ConfigDurableSaveTest : public ConfigTest {
protected:
    void TearDown() override { ZR_KDT::ResetSystemCalls(); }

    // Saves a configuration of its own into Settings("cfg") and reads it
    // back; the empty text, or the save's error.
    std::string SaveAndCheck()
    {
        auto manager = NewManager();
        const Config config = {{0, 0, 42, 0, 0, 0}, {"", "saved", "", ""}, false};
        Apply(*manager, config);
        if (!manager->SaveConfiguration("cfg", 1)) return manager->GetErrorMessage();
        auto reader = NewManager("K4X OTHER");
        EXPECT_TRUE(reader->LoadConfiguration("cfg", 1));
        EXPECT_EQ(Capture(*reader), config);
        return std::string();
    }
};

// Each row saves over an old file (or none) with some file operations
// failing; where the save fails, the old file stays as it was.
TEST_F(ConfigDurableSaveTest, FailingFileOperationsTable)
{
    using Open = std::FILE* (*)(const char*, const char*);
    using Write = std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*);
    using Space = bool (*)(const char*, uint64_t&);
    const struct {
        const char* what;
        bool oldFile;
        Open open;
        Write write;
        Space space;
        const char* error;
        std::vector<std::string> files;
        bool keepsOld;
    } rows[] = {
        {"short write over an old file", true, nullptr, &WriteHalf, nullptr, "Failed to write file", {"cfg"}, true},
        {"short write of a new file", false, nullptr, &WriteHalf, nullptr, "Failed to write file", {}, false},
        {"no temporary file: in place", true, &RefuseTemporary, nullptr, nullptr, "", {"cfg"}, false},
        {"in place, short write", true, &RefuseTemporary, &WriteHalf, nullptr, "Failed to write file", {"cfg"}, false},
        {"in place, no room: not even truncated", true, &RefuseTemporary, nullptr, &NoRoom, "Failed to write file",
         {"cfg"}, true},
    };
    const std::string old = "Trace Mode = 1\n";
    for (const auto& row : rows) {
        NewManager();
        fs::remove(Settings("cfg"));
        if (row.oldFile) WriteBytes(Settings("cfg"), old);
        if (row.open != nullptr) ZR_KDT::SystemCalls().openFile = row.open;
        if (row.write != nullptr) ZR_KDT::SystemCalls().writeFile = row.write;
        if (row.space != nullptr) ZR_KDT::SystemCalls().freeDiskSpace = row.space;
        EXPECT_EQ(SaveAndCheck(), row.error) << row.what;
        ZR_KDT::ResetSystemCalls();
        EXPECT_EQ(SettingsFiles(), row.files) << row.what;
        if (row.keepsOld) {
            EXPECT_EQ(ReadBytes(Settings("cfg")), old) << row.what;
        }
    }
}

TEST_F(ConfigDurableSaveTest, SymbolicLinkIsWrittenThrough)
{
    NewManager();
    const std::string target = Scratch("elsewhere");
    WriteBytes(target, "old");
    std::error_code error;
    fs::create_symlink(target, Settings("cfg"), error);
    if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_TRUE(fs::is_symlink(Settings("cfg")));
    EXPECT_EQ(ReadBytes(target), ReadBytes(Settings("cfg")));
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});
}

TEST_F(ConfigDurableSaveTest, PermissionsAreKept)
{
    NewManager();
    WriteBytes(Settings("cfg"), "old");
    fs::permissions(Settings("cfg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(Settings("cfg")).permissions();
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(fs::status(Settings("cfg")).permissions(), before);
}

TEST_F(ConfigDurableSaveTest, OwnerIsKept)
{
    NewManager();
    WriteBytes(Settings("cfg"), "old");
    const std::string quoted = "'" + Settings("cfg") + "'";
    if (ZR_KDT::platform::kPathSeparator != '/' || std::system(("chown 4321:4322 " + quoted).c_str()) != 0) {
        GTEST_SKIP() << "giving a file away needs a POSIX host and root";
    }
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(std::system(("test \"$(stat -c %u:%g " + quoted + ")\" = 4321:4322").c_str()), 0);
}

// On Windows the open file cannot be replaced, but it can be written.
TEST_F(ConfigDurableSaveTest, FileHeldOpenByAnotherProgramIsStillSaved)
{
    NewManager();
    WriteBytes(Settings("cfg"), "old");
    std::FILE* other = ZR_KDT::platform::OpenSharedFile(Settings("cfg").c_str(), "r");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SaveAndCheck(), "");
    std::fclose(other);
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});
}

TEST_F(ConfigDurableSaveTest, FoundLinesAreLoggedBeforeTheFileIsWritten)
{
    profile.SetVariable("ZR_TRACE_LOGGING", "1");
    ZR_KDT::SystemCalls().writeFile = &WriteAfterReadingTheLog;
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_TRUE(Logged(g_logAtFirstWrite, "K4xDeviceCfgMgr: Found output file " + Settings("cfg") + " "));
    EXPECT_TRUE(Logged(TraceLogMessages(), "K4xDeviceCfgMgr: Found input file " + Settings("cfg") + " "));
}

// A settings file that goes away, or turns into a folder, after the text
// load has probed it and before it reads it.
TEST_F(ConfigDurableSaveTest, FileChangedBetweenProbeAndLoad)
{
    for (void (*hook)(const char*) : {&RemoveFile, &ReplaceByFolder}) {
        auto manager = NewManager();
        EXPECT_FALSE(manager->SaveConfiguration("x", 3));
        WriteBytes(Settings("cfg"), "Trace Mode = 5\nTWP_Protocol = 1\n");
        ZR_KDT::SystemCalls().afterTextProbe = hook;
        EXPECT_FALSE(manager->LoadConfiguration("cfg", 1));
        ZR_KDT::ResetSystemCalls();
        EXPECT_EQ(Capture(*manager), Config{});
        // Where a folder opens as a stream, the read fails instead.
        const std::string error = manager->GetErrorMessage();
        EXPECT_TRUE(error == "Failed to open file" || (hook == &ReplaceByFolder && error == "Invalid file type")) << error;
        fs::remove(Settings("cfg"));
    }
}

TEST_F(ConfigDurableSaveTest, ReplaceFileSwapsWholeFiles)
{
    const std::string target = Scratch("target");
    const std::string source = Scratch("source");
    WriteBytes(target, "old contents, longer than the new");
    WriteBytes(source, "new");
    ASSERT_TRUE(ZR_KDT::platform::ReplaceFile(source.c_str(), target.c_str()));
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_FALSE(std::filesystem::exists(source));
    // Nothing to move: the target stays.
    EXPECT_FALSE(ZR_KDT::platform::ReplaceFile(source.c_str(), target.c_str()));
    EXPECT_EQ(ReadBytes(target), "new");
    // A target that does not exist yet is created.
    WriteBytes(source, "again");
    ASSERT_TRUE(ZR_KDT::platform::ReplaceFile(source.c_str(), Scratch("fresh").c_str()));
    EXPECT_EQ(ReadBytes(Scratch("fresh")), "again");
}

}  // namespace
}  // namespace k4xtest
