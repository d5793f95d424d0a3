// A text save that fails part-way leaves the configuration on disk as it
// was, and no temporary file behind.
#include "ConfigTestSupport.h"
#include "K4xDurableWrite.h"
#include "Platform.h"
#include "uSystemCalls.h"

namespace cfgtest {
namespace {

// Writes the first half of what it is given and reports the short count,
// as a full disk does.
std::size_t WriteHalf(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    return std::fwrite(data, size, count / 2, file);
}

class ConfigDurableSaveTest : public ConfigTest {
protected:
    void TearDown() override { ZR_KDT::ResetSystemCalls(); }
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
