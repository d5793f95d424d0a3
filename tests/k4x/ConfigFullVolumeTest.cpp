// Saves and logging on a volume that is really full or nearly so: a small
// tmpfs mounted over the test's profile. Mounting needs root and the mount
// capability; where the machine refuses, the tests skip.
#include "ConfigTestSupport.h"
#include "Platform.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace cfgtest {
namespace {

// Trace log files in the folder.
int CountLogFiles(const std::filesystem::path& folder)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("zr_trace_log_", 0) == 0) ++count;
    }
    return count;
}

// A tmpfs of the given size over a folder for the object's lifetime.
class TmpfsMount {
public:
    TmpfsMount(const std::string& folder, const std::string& size) : m_folder(folder)
    {
        if (ZR_KDT::platform::kPathSeparator != '/') {
            m_reason = "tmpfs mounts need a POSIX host";
            return;
        }
        const std::string command = "mount -t tmpfs -o size=" + size + " k4x-test '" + folder + "' 2>/dev/null";
        m_mounted = std::system(command.c_str()) == 0;
        if (!m_mounted) m_reason = "cannot mount a tmpfs here (needs root and the mount capability)";
    }
    ~TmpfsMount()
    {
        // Lazy, so that a file still open cannot keep the mount behind.
        if (m_mounted) m_mounted = std::system(("umount -l '" + m_folder + "'").c_str()) != 0;
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool Mounted() const { return m_mounted; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_folder;
    std::string m_reason;
    bool m_mounted = false;
};

// Writes into a new file until the volume refuses more.
void FillVolume(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::string block(512, 'f');
    while (std::fwrite(block.data(), 1, block.size(), file) == block.size()) {
    }
    std::fclose(file);
}

// The profile on a tmpfs of the given size; the manager's trace folders
// are created on it by the first manager.
class ConfigFullVolumeTest : public ConfigTest {
protected:
    void MountProfile(const std::string& size)
    {
        m_mount = std::make_unique<TmpfsMount>(Scratch("profile"), size);
        if (!m_mount->Mounted()) GTEST_SKIP() << m_mount->Reason();
    }
    void TearDown() override { m_mount.reset(); }

    std::unique_ptr<TmpfsMount> m_mount;
};

TEST_F(ConfigFullVolumeTest, TextSaveOnAFullVolumeKeepsTheOldFile)
{
    MountProfile("64k");
    if (IsSkipped()) return;
    auto manager = NewManager();
    Config config;
    config.integers = {1, 2, 3, 4, 5, 6};
    config.eventBits[0] = "old";
    Apply(*manager, config);
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1)) << manager->GetErrorMessage();
    const std::string saved = ReadBytes(Settings("cfg"));
    FillVolume(Scratch("profile/filler"));

    Config changed = config;
    changed.eventBits[0] = "new";
    Apply(*manager, changed);
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 1));
    // The temporary file beside it runs out of room; the old file stays.
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to write file");
    EXPECT_EQ(ReadBytes(Settings("cfg")), saved);
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});
    // A new file cannot even be created for real.
    EXPECT_FALSE(manager->SaveConfiguration("fresh", 2));
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});

    std::remove(Scratch("profile/filler").c_str());
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration("cfg", 1));
    EXPECT_EQ(Capture(*reader), config);
}

TEST_F(ConfigFullVolumeTest, TdfSaveOnAFullVolumeKeepsEarlierSections)
{
    MountProfile("64k");
    if (IsSkipped()) return;
    auto manager = NewManager();
    Config config;
    config.integers = {7, 0, 9, 1, 0, 1};
    config.eventBits[2] = "kept";
    Apply(*manager, config);
    const std::string tdf = Scratch("profile/cfg.tdf");
    WriteTdf(tdf, {tdftest::Section("OTHER", 1, "abc")});
    ASSERT_TRUE(manager->SaveConfiguration(tdf, 0)) << manager->GetErrorMessage();
    FillVolume(Scratch("profile/filler"));

    // More than the slack of the file's last page.
    Config large = config;
    large.eventBits[0] = std::string(16384, 'x');
    Apply(*manager, large);
    EXPECT_FALSE(manager->SaveConfiguration(tdf, 0));
    EXPECT_EQ(manager->GetErrorMessage().rfind("Write", 0), 0u) << manager->GetErrorMessage();

    std::remove(Scratch("profile/filler").c_str());
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration(tdf, 0)) << reader->GetErrorMessage();
    EXPECT_EQ(Capture(*reader), config);
}

TEST_F(ConfigFullVolumeTest, LogFolderShortOfSpaceLeavesLoggingOff)
{
    // 1 MiB is well under the logger's 5,120,000 bytes.
    MountProfile("1m");
    if (IsSkipped()) return;
    ASSERT_TRUE(ZR_KDT::SetEnvironmentValue("ZR_TRACE_LOGGING", "1"));
    auto manager = NewManager();
    ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
    EXPECT_EQ(log.m_nLevel.load(), 0);
    EXPECT_FALSE(log.Initialize("again.txt", "ZR_TRACE_LOGGING", "ZR_TRACE_LOGGING_DIR", true));
    EXPECT_EQ(log.m_nLevel.load(), 0);
    const std::filesystem::path logFolder = ZR_KDT::GetEnvironmentValue("ZR_TRACE_LOGGING_DIR");
    ASSERT_TRUE(std::filesystem::is_directory(logFolder)) << logFolder;
    EXPECT_EQ(CountLogFiles(logFolder), 0);

    Config config;
    config.integers[3] = 4;
    config.twp = true;
    Apply(*manager, config);
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1)) << manager->GetErrorMessage();
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration("cfg", 1));
    EXPECT_EQ(Capture(*reader), config);
    EXPECT_EQ(CountLogFiles(logFolder), 0);
}

}  // namespace
}  // namespace cfgtest
