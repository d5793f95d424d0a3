// Text and ".dcm" configuration files through a manager: the exact lines a
// save writes, the rules a load follows, and the error text each leaves.
#include "ConfigTest.h"

#include <climits>
#include <filesystem>

namespace k4xtest {
namespace {

const char kInvalidName[] = "Invalide property name";
const char kTooLong[] = "Configuration entry longer than 1023 characters";
const char kKept[] = "Invalid file type";  // marked before each load, left by a load without error

class ConfigTextFileTest : public ConfigTest {
protected:
    // Gives the manager a known error text that later loads must keep.
    void MarkError(K4xDeviceCfgMgr& manager)
    {
        ASSERT_FALSE(manager.SaveConfiguration("x", 3));
        ASSERT_EQ(manager.GetErrorMessage(), kKept);
    }
};

TEST_F(ConfigTextFileTest, SaveWritesElevenExactLines)
{
    auto manager = NewManager();
    WriteBytes(Settings("cfg"), std::string(5000, 'x'));  // replaced as a whole
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    const std::string n = StoredText("\n");
    EXPECT_EQ(ReadBytes(Settings("cfg")), "Trace Mode = 0" + n + "Encoding Mode = 0" + n + "Sync Frequency = 0" + n +
                                              "Number of AEG = 0" + n + "Memory Mode = 0" + n + "CEMU Status = 0" + n +
                                              "Event Bit0 = " + n + "Event Bit1 = " + n + "Event Bit2 = " + n +
                                              "Event Bit3 = " + n + "TWP_Protocol = 0" + n);
    // A text is written up to its first NUL.
    Apply(*manager, {{7, -3, INT_MAX, INT_MIN, 0, -1}, {"pc == 0x100", "", "x=y\tz  ", std::string("cut\0off", 7)}, true});
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    EXPECT_EQ(ReadBytes(Settings("cfg")),
              "Trace Mode = 7" + n + "Encoding Mode = -3" + n + "Sync Frequency = 2147483647" + n +
                  "Number of AEG = -2147483648" + n + "Memory Mode = 0" + n + "CEMU Status = -1" + n +
                  "Event Bit0 = pc == 0x100" + n + "Event Bit1 = " + n + "Event Bit2 = x=y\tz  " + n +
                  "Event Bit3 = cut" + n + "TWP_Protocol = 1" + n);
}

// Blanks in a save name become "_" and "/" becomes "-"; type 2 adds ".dcm";
// a load takes the name as given, type 1 or 4.
TEST_F(ConfigTextFileTest, SavedValuesLoadBackUnderTheRewrittenName)
{
    const Config sample = {{-100, 2, 0, 5, -2147483647, 40000}, {"a", "b b", "c=", " = =lead  "}, false};
    auto writer = NewManager();
    Apply(*writer, sample);
    ASSERT_TRUE(writer->SaveConfiguration("a b/c", 1));
    ASSERT_TRUE(writer->SaveConfiguration("a b/c", 2));
    EXPECT_EQ(SettingsFiles(), (std::vector<std::string>{"a_b-c", "a_b-c.dcm"}));
    Config loaded = sample;
    loaded.eventBits[3] = "lead  ";  // blanks and "=" before a value are separators
    for (const auto& [name, type] : {std::pair{"a_b-c", 1}, {"a_b-c", 4}, {"a_b-c.dcm", 1}}) {
        auto reader = NewManager("K4X OTHER");
        ASSERT_TRUE(reader->LoadConfiguration(name, type)) << name;
        EXPECT_EQ(Capture(*reader), loaded) << name;
        EXPECT_EQ(reader->GetErrorMessage(), "");
    }
    EXPECT_FALSE(writer->LoadConfiguration("a b/c.dcm", 1));
}

TEST_F(ConfigTextFileTest, LoadRulesTable)
{
    const struct {
        const char* what;
        std::string text;
        bool loaded;
        const char* error;
        Config expected;
    } rows[] = {
        {"trims name ends and value starts", "Trace Mode = 5\nEvent Bit0   ==   x = y  \nEvent Bit1 = \n", true,
         kKept, {{5, 0, 0, 0, 0, 0}, {"x = y  ", "", "", ""}, false}},
        {"last line end optional, CR LF taken", "Trace Mode = 1\nEncoding Mode   ==  2\r\nTWP_Protocol = 3", true,
         kKept, {{1, 2, 0, 0, 0, 0}, {}, true}},
        {"lone CR belongs to the value", "Event Bit0 = x\r\r\nEvent Bit1 = y\r", true, kKept,
         {{}, {"x\r", "y\r", "", ""}, false}},
        {"unknown name stops, earlier stay", "Trace Mode = 5\nBogus = 1\nMemory Mode = 7\n", false, kInvalidName,
         {{5, 0, 0, 0, 0, 0}, {}, false}},
        {"property not stored in files", "CycleModeDelta = 0\n", false, kInvalidName, {}},
        {"names are case sensitive", "trace mode = 1\n", false, kInvalidName, {}},
        {"empty line joins the next name", "Memory Mode = 3\n\nCEMU Status = 4\n", false, kInvalidName,
         {{0, 0, 0, 0, 3, 0}, {}, false}},
        {"trailing empty line", "CEMU Status = 4\n\n", false, kInvalidName, {{0, 0, 0, 0, 0, 4}, {}, false}},
        {"blank name skipped with its value", "   = 9\nSync Frequency = 8\n", true, kKept,
         {{0, 0, 8, 0, 0, 0}, {}, false}},
        {"rest after a leading = joins the next name", "=x\nTrace Mode = 2\n", false, kInvalidName, {}},
        {"value of 1023", "Event Bit3 =" + std::string(1023, 'x') + "\n", true, kKept,
         {{}, {"", "", "", std::string(1023, 'x')}, false}},
        {"value of 1024", "Event Bit3 =" + std::string(1024, 'y'), false, kTooLong, {}},
        {"name of 1023", std::string(1023, 'n') + "= 1\n", false, kInvalidName, {}},
        {"name of 1024", "Trace Mode = 6\n" + std::string(1024, 'n') + "= 1\n", false, kTooLong,
         {{6, 0, 0, 0, 0, 0}, {}, false}},
        {"no separator at all", std::string(5000, 'z'), false, kTooLong, {}},
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        Apply(*manager, Config{});
        MarkError(*manager);
        WriteBytes(Settings("cfg"), row.text);
        EXPECT_EQ(manager->LoadConfiguration("cfg", 1), row.loaded) << row.what;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << row.what;
        EXPECT_EQ(Capture(*manager), row.expected) << row.what;
    }
}

// "Event Bit0 = ", the text and the line feed may fill 1023 characters.
TEST_F(ConfigTextFileTest, SaveRefusesALineTheLoadCouldNotTake)
{
    auto manager = NewManager();
    Apply(*manager, {{}, {std::string(1009, 'v'), "", "", ""}, false});
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    const std::string saved = ReadBytes(Settings("cfg"));
    Apply(*manager, {{}, {std::string(1010, 'v'), "", "", ""}, false});
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Value of Event Bit0 too long for a text configuration line");
    EXPECT_EQ(ReadBytes(Settings("cfg")), saved);
}

TEST_F(ConfigTextFileTest, EmptyNamesMissingFilesAndOtherTypes)
{
    auto manager = NewManager();
    WriteBytes(Settings("cfg"), "Trace Mode = 4\n");
    EXPECT_FALSE(manager->LoadConfiguration("", 1));
    EXPECT_FALSE(manager->SaveConfiguration("", 3));
    EXPECT_EQ(manager->GetErrorMessage(), "");
    // Loads of other types read nothing and succeed; saves of them fail.
    for (const int32_t type : {2, 3, 5, -1}) EXPECT_TRUE(manager->LoadConfiguration("cfg", type)) << type;
    EXPECT_EQ(Capture(*manager), Config{});
    for (const uint32_t type : {3u, 4u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(manager->SaveConfiguration("cfg", type)) << type;
        EXPECT_EQ(manager->GetErrorMessage(), kKept);
    }
    EXPECT_EQ(ReadBytes(Settings("cfg")), "Trace Mode = 4\n");
    // Nothing to read changes nothing, not even the error text.
    std::filesystem::create_directory(Settings("folder"));
    EXPECT_FALSE(manager->LoadConfiguration("no such file", 1));
    EXPECT_FALSE(manager->LoadConfiguration("no_such_file", 4));
    EXPECT_FALSE(manager->LoadConfiguration("folder", 1));
    EXPECT_EQ(manager->GetErrorMessage(), kKept);
}

TEST_F(ConfigTextFileTest, SaveWhereNoFileCanBeWritten)
{
    auto manager = NewManager();
    std::filesystem::create_directory(Settings("folder"));
    EXPECT_FALSE(manager->SaveConfiguration("folder", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to open file");
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"folder"});

    MarkError(*manager);
    const std::string settings = profile.SettingsDirectory();
    std::filesystem::rename(settings, settings + ".away");
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 2));
    EXPECT_EQ(manager->GetErrorMessage(), "Failed to open file");
    EXPECT_FALSE(std::filesystem::exists(settings));
    std::filesystem::rename(settings + ".away", settings);
}

// The device settings file is the CPU name rewritten as a save name, then
// "-TCfg.txt".
TEST_F(ConfigTextFileTest, ConstructorLoadsTheDeviceSettingsFile)
{
    auto first = NewManager("K4X FIRST");  // creates the settings directory
    WriteBytes(Settings("K4X_dev-1_core-TCfg.txt"), "Trace Mode = 3\nEvent Bit1 = go\nTWP_Protocol = 1\n");
    WriteBytes(Settings("K4X dev-1 core-TCfg.txt"), "Trace Mode = 8\n");
    auto device = NewManager("K4X dev/1 core");
    EXPECT_EQ(Capture(*device), (Config{{3, 0, 0, 0, 0, 0}, {"", "go", "", ""}, true}));
    EXPECT_EQ(device->GetErrorMessage(), "");
    EXPECT_EQ(Capture(*first), Config{});
}

}  // namespace
}  // namespace k4xtest
