// Loads and saves that fail or read nothing: their results and the error
// text each leaves behind.
#include "ConfigTestSupport.h"

#include <filesystem>

namespace cfgtest {
namespace {

using tdftest::Bytes;
using tdftest::PutU32;
using tdftest::Section;

const char kInvalidName[] = "Invalide property name";

class ConfigFailureTest : public ConfigTest {
protected:
    // Gives the manager a known error text that later failures must keep.
    void MarkError(K4xDeviceCfgMgr& manager)
    {
        ASSERT_FALSE(manager.SaveConfiguration("x", 3));
        ASSERT_EQ(manager.GetErrorMessage(), "Invalid file type");
    }

    // Loads the text as the settings file "cfg"; gives the result.
    bool LoadText(K4xDeviceCfgMgr& manager, const std::string& text)
    {
        WriteBytes(Settings("cfg"), text);
        return manager.LoadConfiguration("cfg", 1);
    }
};

TEST_F(ConfigFailureTest, EmptyNamesAndOtherFileTypes)
{
    auto manager = NewManager();
    WriteBytes(Settings("cfg"), "Trace Mode = 4\n");
    EXPECT_FALSE(manager->LoadConfiguration("", 1));
    EXPECT_FALSE(manager->SaveConfiguration("", 1));
    EXPECT_FALSE(manager->SaveConfiguration("", 3));
    EXPECT_EQ(manager->GetErrorMessage(), "");
    // Loads of other types read nothing and succeed; saves of them fail.
    for (const int32_t type : {2, 3, 5, -1}) EXPECT_TRUE(manager->LoadConfiguration("cfg", type)) << type;
    EXPECT_EQ(Capture(*manager), Config{});
    EXPECT_EQ(manager->GetErrorMessage(), "");
    for (const uint32_t type : {3u, 4u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(manager->SaveConfiguration("cfg", type)) << type;
        EXPECT_EQ(manager->GetErrorMessage(), "Invalid file type");
    }
    EXPECT_EQ(ReadBytes(Settings("cfg")), "Trace Mode = 4\n");
}

TEST_F(ConfigFailureTest, MissingFilesChangeNothing)
{
    auto manager = NewManager();
    MarkError(*manager);
    EXPECT_FALSE(manager->LoadConfiguration("no such file", 1));
    EXPECT_FALSE(manager->LoadConfiguration("no_such_file", 4));
    EXPECT_FALSE(manager->LoadConfiguration(Scratch("missing.tdf"), 0));
    std::filesystem::create_directory(Settings("folder"));
    EXPECT_FALSE(manager->LoadConfiguration("folder", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Invalid file type");
    EXPECT_EQ(Capture(*manager), Config{});
}

TEST_F(ConfigFailureTest, TextFileHoldsOnlyReadableNames)
{
    auto manager = NewManager();
    EXPECT_FALSE(LoadText(*manager, "Trace Mode = 5\nBogus = 1\nMemory Mode = 7\n"));
    EXPECT_EQ(manager->GetErrorMessage(), kInvalidName);
    Config expected;
    expected.integers[0] = 5;  // earlier entries stay applied
    EXPECT_EQ(Capture(*manager), expected);

    MarkError(*manager);
    EXPECT_FALSE(LoadText(*manager, "CycleModeDelta = 0\n"));
    EXPECT_EQ(manager->GetErrorMessage(), kInvalidName);
    MarkError(*manager);
    EXPECT_FALSE(LoadText(*manager, "trace mode = 1\n"));
    EXPECT_EQ(manager->GetErrorMessage(), kInvalidName);
}

TEST_F(ConfigFailureTest, EmptyLinesStartTheNextName)
{
    auto manager = NewManager();
    // One line end after the last entry is fine, in either form.
    EXPECT_TRUE(LoadText(*manager, "Trace Mode = 1\nEncoding Mode   ==  2\r\nTWP_Protocol = 3"));
    Config expected;
    expected.integers = {1, 2, 0, 0, 0, 0};
    expected.twp = true;
    EXPECT_EQ(Capture(*manager), expected);
    EXPECT_EQ(manager->GetErrorMessage(), "");

    EXPECT_FALSE(LoadText(*manager, "Memory Mode = 3\n\nCEMU Status = 4\n"));
    EXPECT_EQ(manager->GetErrorMessage(), kInvalidName);
    expected.integers[4] = 3;
    EXPECT_EQ(Capture(*manager), expected);

    MarkError(*manager);
    EXPECT_FALSE(LoadText(*manager, "CEMU Status = 4\n\n"));
    EXPECT_EQ(manager->GetErrorMessage(), kInvalidName);
    expected.integers[5] = 4;
    EXPECT_EQ(Capture(*manager), expected);

    // A name of blanks only is skipped with its value.
    MarkError(*manager);
    EXPECT_TRUE(LoadText(*manager, "   = 9\nSync Frequency = 8\n"));
    expected.integers[2] = 8;
    EXPECT_EQ(Capture(*manager), expected);
    EXPECT_EQ(manager->GetErrorMessage(), "Invalid file type");
}

TEST_F(ConfigFailureTest, TdfLoadsNeedAContainerWithASection)
{
    auto manager = NewManager();
    MarkError(*manager);
    WriteBytes(Scratch("bad.tdf"), "TDF1");
    WriteTdf(Scratch("cfg.txt"), {Section("AETCONFIG", 2, "Trace Mode=1\n")});
    EXPECT_FALSE(manager->LoadConfiguration(Scratch("bad.tdf"), 0));
    EXPECT_FALSE(manager->LoadConfiguration(Scratch("cfg.txt"), 0));
    EXPECT_EQ(manager->GetErrorMessage(), "Invalid file type");

    WriteTdf(Scratch("empty.tdf"), {Section("OTHER", 2, "Trace Mode=1\n"), Section("aetconfig", 2, "x")});
    EXPECT_FALSE(manager->LoadConfiguration(Scratch("empty.tdf"), 0));
    EXPECT_EQ(manager->GetErrorMessage(), "Section size cannot be located in the file.");
    EXPECT_EQ(Capture(*manager), Config{});
}

TEST_F(ConfigFailureTest, Version1SectionHasNoProtocolOrSyncFrequency)
{
    auto manager = NewManager();
    Config config;
    config.integers[2] = 77;
    config.twp = true;
    Apply(*manager, config);
    Bytes data;
    for (const uint32_t value : {1u, 2u, 3u, 4u, 0xFFFFFFFBu}) PutU32(data, value);
    const std::string texts("e0\0\0e2\0e3 x\0", 12);
    data.insert(data.end(), texts.begin(), texts.end());
    // A later version 2 section of another name does not count.
    WriteTdf(Scratch("v1.tdf"), {Section("AETCONFIG", 1, AsText(data)), Section("AETCONFIGX", 2, "Trace Mode=9")});
    ASSERT_TRUE(manager->LoadConfiguration(Scratch("v1.tdf"), 0)) << manager->GetErrorMessage();
    // Number of AEG comes before Encoding Mode in this form.
    const Config expected{{1, 3, 77, 2, 4, -5}, {"e0", "", "e2", "e3 x"}, false};
    EXPECT_EQ(Capture(*manager), expected);
}

TEST_F(ConfigFailureTest, LoadReadsTheFirstOfSeveralSections)
{
    const std::string tdf = Scratch("cfg.tdf");
    WriteBytes(tdf, "TDF2");
    auto writer = NewManager();
    Config first;
    first.integers[0] = 1;
    Apply(*writer, first);
    ASSERT_TRUE(writer->SaveConfiguration(tdf, 0));
    Config second = first;
    second.integers[0] = 2;
    Apply(*writer, second);
    ASSERT_TRUE(writer->SaveConfiguration(tdf, 0));
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration(tdf, 0));
    EXPECT_EQ(Capture(*reader), first);
}

TEST_F(ConfigFailureTest, TdfSaveWithoutAContainerWritesNothing)
{
    auto manager = NewManager();
    MarkError(*manager);
    const std::string notTdf = AsText(tdftest::TdfImage({}));
    WriteBytes(Scratch("cfg.txt"), notTdf);
    WriteBytes(Scratch("plain.tdf"), "TDF");
    EXPECT_TRUE(manager->SaveConfiguration(Scratch("missing.tdf"), 0));
    EXPECT_TRUE(manager->SaveConfiguration(Scratch("cfg.txt"), 0));
    EXPECT_TRUE(manager->SaveConfiguration(Scratch("plain.tdf"), 0));
    EXPECT_FALSE(Exists(Scratch("missing.tdf")));
    EXPECT_EQ(ReadBytes(Scratch("cfg.txt")), notTdf);
    EXPECT_EQ(ReadBytes(Scratch("plain.tdf")), "TDF");
    EXPECT_EQ(manager->GetErrorMessage(), "Invalid file type");
}

TEST_F(ConfigFailureTest, TextSaveWhereNoFileCanBeWritten)
{
    auto manager = NewManager();
    std::filesystem::create_directory(Settings("folder"));
    EXPECT_FALSE(manager->SaveConfiguration("folder", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to open file");
    EXPECT_TRUE(std::filesystem::is_directory(Settings("folder")));
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"folder"});

    MarkError(*manager);
    const std::string settings = SettingsDir();
    std::filesystem::rename(settings, settings + ".away");
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 2));
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to open file");
    EXPECT_FALSE(Exists(settings));
    std::filesystem::rename(settings + ".away", settings);
}

TEST_F(ConfigFailureTest, ConstructorLoadsTheDeviceSettingsFile)
{
    auto first = NewManager("K4X FIRST");  // creates the settings directory
    WriteBytes(Settings("K4X_dev-1_core-TCfg.txt"), "Trace Mode = 3\nEvent Bit1 = go\nTWP_Protocol = 1\n");
    WriteBytes(Settings("K4X dev-1 core-TCfg.txt"), "Trace Mode = 8\n");
    auto device = NewManager("K4X dev/1 core");
    Config expected;
    expected.integers[0] = 3;
    expected.eventBits[1] = "go";
    expected.twp = true;
    EXPECT_EQ(Capture(*device), expected);
    EXPECT_EQ(device->GetErrorMessage(), "");
    EXPECT_EQ(Capture(*first), Config{});
    EXPECT_EQ(first->GetErrorMessage(), "");
}

TEST_F(ConfigFailureTest, LinesAtTheLengthLimit)
{
    auto manager = NewManager();
    // "Event Bit0 = ", the text and the line feed fill 1023 characters.
    Config config;
    config.eventBits[0] = std::string(1009, 'v');
    Apply(*manager, config);
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    const std::string saved = ReadBytes(Settings("cfg"));
    config.eventBits[0] += 'v';
    Apply(*manager, config);
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Value of Event Bit0 too long for a text configuration line");
    EXPECT_EQ(ReadBytes(Settings("cfg")), saved);
    auto reader = NewManager("K4X OTHER");
    ASSERT_TRUE(reader->LoadConfiguration("cfg", 1));
    EXPECT_EQ(Capture(*reader).eventBits[0], std::string(1009, 'v'));

    // A value holds 1023 characters after its "=", a name 1023 before it.
    const std::string tooLong = "Configuration entry longer than 1023 characters";
    EXPECT_TRUE(LoadText(*reader, "Event Bit3 =" + std::string(1023, 'x') + "\n"));
    EXPECT_EQ(Capture(*reader).eventBits[3], std::string(1023, 'x'));
    EXPECT_FALSE(LoadText(*reader, "Event Bit3 =" + std::string(1024, 'y')));
    EXPECT_EQ(reader->GetErrorMessage(), tooLong);
    MarkError(*reader);
    EXPECT_FALSE(LoadText(*reader, std::string(1023, 'n') + "= 1\n"));
    EXPECT_EQ(reader->GetErrorMessage(), kInvalidName);
    EXPECT_FALSE(LoadText(*reader, "Trace Mode = 6\n" + std::string(1024, 'n') + "= 1\n"));
    EXPECT_EQ(reader->GetErrorMessage(), tooLong);
    EXPECT_FALSE(LoadText(*reader, std::string(5000, 'z')));
    EXPECT_EQ(Capture(*reader).integers[0], 6);
}

}  // namespace
}  // namespace cfgtest
