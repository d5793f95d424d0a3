// A settings file that goes away, or turns into a folder, after the text
// load has probed it and before it reads it.
#include "ConfigTestSupport.h"
#include "uSystemCalls.h"

#include <cstdio>
#include <filesystem>

namespace cfgtest {
namespace {

void RemoveFile(const char* path) { std::remove(path); }

void ReplaceByFolder(const char* path)
{
    std::remove(path);
    std::filesystem::create_directory(path);
}

class ConfigVanishingFileTest : public ConfigTest {
protected:
    void TearDown() override { ZR_KDT::ResetSystemCalls(); }

    // Loads "cfg" with the hook in the gap; the manager's error text is
    // marked beforehand and given back.
    std::string LoadThrough(void (*hook)(const char* path))
    {
        auto manager = NewManager();
        EXPECT_FALSE(manager->SaveConfiguration("x", 3));
        WriteBytes(Settings("cfg"), "Trace Mode = 5\nTWP_Protocol = 1\n");
        ZR_KDT::SystemCalls().afterTextProbe = hook;
        EXPECT_FALSE(manager->LoadConfiguration("cfg", 1));
        ZR_KDT::ResetSystemCalls();
        EXPECT_EQ(Capture(*manager), Config{});
        return manager->GetErrorMessage();
    }
};

TEST_F(ConfigVanishingFileTest, RemovedAfterTheProbe)
{
    EXPECT_EQ(LoadThrough(&RemoveFile), "Failed to open file");
    EXPECT_TRUE(SettingsFiles().empty());
}

TEST_F(ConfigVanishingFileTest, FolderAfterTheProbe)
{
    // Where a folder opens as a stream, the read fails instead and the text
    // stays as it was.
    const std::string error = LoadThrough(&ReplaceByFolder);
    EXPECT_TRUE(error == "Failed to open file" || error == "Invalid file type") << error;
    EXPECT_TRUE(std::filesystem::is_directory(Settings("cfg")));
}

}  // namespace
}  // namespace cfgtest
