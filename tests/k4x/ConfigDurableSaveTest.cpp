// A text save that fails part-way leaves the configuration on disk as it
// was, and no temporary file behind; where no replacement can be made, the
// file is written in place, and a save never changes what kind of file the
// target is, its permissions or its owner.
#include "ConfigTestSupport.h"
#include "K4xDurableWrite.h"
#include "Platform.h"
#include "uEnvironment.h"
#include "uSystemCalls.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace cfgtest {
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

// The trace log as it stands when the save writes its first byte.
std::string g_logAtFirstWrite;

std::string ReadTraceLog()
{
    std::string log;
    for (const auto& entry : fs::directory_iterator(ZR_KDT::GetEnvironmentValue("ZR_TRACE_LOGGING_DIR"))) {
        if (entry.path().filename().string().rfind("zr_trace_log_", 0) == 0) log += ReadBytes(entry.path().string());
    }
    return log;
}

std::size_t WriteAfterReadingTheLog(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    if (g_logAtFirstWrite.empty()) g_logAtFirstWrite = ReadTraceLog();
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
        Config config;
        config.integers[2] = 42;
        config.eventBits[1] = "saved";
        Apply(*manager, config);
        if (!manager->SaveConfiguration("cfg", 1)) return manager->GetErrorMessage();
        auto reader = NewManager("K4X OTHER");
        EXPECT_TRUE(reader->LoadConfiguration("cfg", 1));
        EXPECT_EQ(Capture(*reader), config);
        return std::string();
    }
};

TEST_F(ConfigDurableSaveTest, FailedWriteKeepsTheOldFile)
{
    auto manager = NewManager();
    Config config;
    config.integers[0] = 1;
    config.eventBits[0] = "old";
    Apply(*manager, config);
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    const std::string saved = ReadBytes(Settings("cfg"));

    config.integers[0] = 2;
    config.eventBits[0] = "new";
    Apply(*manager, config);
    ZR_KDT::SystemCalls().writeFile = &WriteHalf;
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to write file");
    EXPECT_EQ(ReadBytes(Settings("cfg")), saved);
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});

    ZR_KDT::ResetSystemCalls();
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration("cfg", 1));
    EXPECT_EQ(Capture(*reader), config);
}

TEST_F(ConfigDurableSaveTest, FailedWriteOfANewFileLeavesNothing)
{
    auto manager = NewManager();
    ZR_KDT::SystemCalls().writeFile = &WriteHalf;
    EXPECT_FALSE(manager->SaveConfiguration("new cfg", 2));
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to write file");
    EXPECT_TRUE(SettingsFiles().empty());
}

TEST_F(ConfigDurableSaveTest, WithoutATemporaryFileTheFileIsWrittenInPlace)
{
    ZR_KDT::SystemCalls().openFile = &RefuseTemporary;
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});
    // Written in place, every write still counts.
    ZR_KDT::SystemCalls().writeFile = &WriteHalf;
    EXPECT_EQ(SaveAndCheck(), "Failed to write file");
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});
    // Without room for the new text the old file is not even truncated.
    const std::string before = ReadBytes(Settings("cfg"));
    ZR_KDT::SystemCalls().freeDiskSpace = &NoRoom;
    EXPECT_EQ(SaveAndCheck(), "Failed to write file");
    EXPECT_EQ(ReadBytes(Settings("cfg")), before);
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
    ASSERT_TRUE(ZR_KDT::SetEnvironmentValue("ZR_TRACE_LOGGING", "1"));
    g_logAtFirstWrite.clear();
    ZR_KDT::SystemCalls().writeFile = &WriteAfterReadingTheLog;
    EXPECT_EQ(SaveAndCheck(), "");
    const std::string tail = Settings("cfg") + " " + TextModeLineEnd(Scratch("probe.txt"));
    EXPECT_NE(g_logAtFirstWrite.find("K4xDeviceCfgMgr: Found output file " + tail), std::string::npos)
        << g_logAtFirstWrite;
    EXPECT_NE(ReadTraceLog().find("K4xDeviceCfgMgr: Found input file " + tail), std::string::npos);
}

TEST_F(ConfigDurableSaveTest, ReplaceFileSwapsWholeFiles)
{
    const std::string target = Scratch("target");
    const std::string source = Scratch("source");
    WriteBytes(target, "old contents, longer than the new");
    WriteBytes(source, "new");
    ASSERT_TRUE(ZR_KDT::platform::ReplaceFile(source.c_str(), target.c_str()));
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_FALSE(Exists(source));
    // Nothing to move: the target stays.
    EXPECT_FALSE(ZR_KDT::platform::ReplaceFile(source.c_str(), target.c_str()));
    EXPECT_EQ(ReadBytes(target), "new");
    // A target that does not exist yet is created.
    WriteBytes(source, "again");
    ASSERT_TRUE(ZR_KDT::platform::ReplaceFile(source.c_str(), Scratch("fresh").c_str()));
    EXPECT_EQ(ReadBytes(Scratch("fresh")), "again");
}

}  // namespace
}  // namespace cfgtest
