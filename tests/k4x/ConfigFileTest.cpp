// Configuration files through managers built for real, each test case in a
// scratch profile of its own: the exact text lines and AETCONFIG section a
// save writes, the rules a load follows, the error text each leaves, and
// saves that fail part-way.
#include "Bytes.h"
#include "ConfigValues.h"
#include "K4xDeviceCfgMgr.h"
#include "Platform.h"
#include "ScratchProfile.h"
#include "uSystemCalls.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <list>
#include <memory>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;
using Config = ConfigValues;

const char kInvalidName[] = "Invalide property name";
const char kTooLong[] = "Configuration entry longer than 1023 characters";
const char kFailedToOpen[] = "Failed to open file";
const char kFailedToWrite[] = "Failed to write file";
const char kKept[] = "Invalid file type";  // marked before each call, left by one without error
const Config kSample = {{7, -3, INT_MAX, INT_MIN, 0, -1}, {"pc == 0x100", "", "x=y\tz  ", "cut"}, true};
// kSample as it is set: a text is saved up to its first NUL.
const Config kSampleSet = {kSample.integers, {"pc == 0x100", "", "x=y\tz  ", std::string("cut\0off", 7)}, true};

class ConfigFileTest : public ::testing::Test {
protected:
    void TearDown() override { ZR_KDT::ResetSystemCalls(); }

    // A manager for the CPU, constructed as the library's factory does.
    std::unique_ptr<K4xDeviceCfgMgr> NewManager(const char* cpuName = "K4X CFG/TEST")
    {
        m_descriptors.push_back({cpuName, 0, {}, 0});
        return std::make_unique<K4xDeviceCfgMgr>(&m_descriptors.back(), 0);
    }
    // Gives the manager a known error text that later calls must keep.
    void MarkError(K4xDeviceCfgMgr& manager)
    {
        ASSERT_FALSE(manager.SaveConfiguration("x", 3));
        ASSERT_EQ(manager.GetErrorMessage(), kKept);
    }
    std::string Settings(const std::string& name) const { return (fs::path(profile.SettingsDirectory()) / name).string(); }
    std::vector<std::string> SettingsFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(profile.SettingsDirectory()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Saves kSampleSet into Settings("cfg") and reads it back; "" or the save's error.
    std::string SaveAndCheck()
    {
        auto manager = NewManager();
        Apply(*manager, kSampleSet);
        if (!manager->SaveConfiguration("cfg", 1)) return manager->GetErrorMessage();
        auto reader = NewManager("K4X OTHER");
        EXPECT_TRUE(reader->LoadConfiguration("cfg", 1));
        EXPECT_EQ(Capture(*reader), kSample);
        return "";
    }

    ScratchProfile profile;

private:
    std::list<Zr::Kdt::Trace::DeviceDescriptor> m_descriptors;
};

// Blanks in a save name become "_" and "/" becomes "-"; type 2 adds ".dcm";
// a load takes the name as given, type 1 or 4.
TEST_F(ConfigFileTest, TextSaveWritesElevenExactLinesUnderTheRewrittenName)
{
    auto writer = NewManager();
    Apply(*writer, kSampleSet);
    WriteBytes(Settings("a_b-c"), std::string(5000, 'x'));  // replaced as a whole
    ASSERT_TRUE(writer->SaveConfiguration("a b/c", 1));
    ASSERT_TRUE(writer->SaveConfiguration("a b/c", 2));
    EXPECT_EQ(SettingsFiles(), (std::vector<std::string>{"a_b-c", "a_b-c.dcm"}));
    EXPECT_EQ(ReadBytes(Settings("a_b-c")),
              StoredText("Trace Mode = 7\nEncoding Mode = -3\nSync Frequency = 2147483647\nNumber of AEG = -2147483648\n"
                         "Memory Mode = 0\nCEMU Status = -1\nEvent Bit0 = pc == 0x100\nEvent Bit1 = \n"
                         "Event Bit2 = x=y\tz  \nEvent Bit3 = cut\nTWP_Protocol = 1\n"));
    for (const auto& [name, type] : {std::pair{"a_b-c", 1}, {"a_b-c", 4}, {"a_b-c.dcm", 1}}) {
        auto reader = NewManager("K4X OTHER");
        ASSERT_TRUE(reader->LoadConfiguration(name, type)) << name;
        EXPECT_EQ(Capture(*reader), kSample) << name;
    }
}

TEST_F(ConfigFileTest, TextLoadTable)
{
    const std::string x1023(1023, 'x'), n1024(1024, 'n');
    const struct {
        std::string text;
        const char* error;  // kKept: loaded
        Config expected;
    } rows[] = {
        // Name ends and value starts are trimmed; the last line end is optional.
        {"Trace Mode = 5\nEvent Bit0   ==  = x = y  \nEvent Bit1 = \r\nTWP_Protocol = 3", kKept,
         {{5}, {"x = y  "}, true}},
        {"Event Bit0 = x\r\r\nEvent Bit1 = y\r", kKept, {{}, {"x\r", "y\r"}}},  // a lone CR stays
        {"Trace Mode = 5\nBogus = 1\nMemory Mode = 7\n", kInvalidName, {{5}}},  // earlier lines stay
        {"CycleModeDelta = 0\n", kInvalidName, {}},
        {"trace mode = 1\n", kInvalidName, {}},
        {"Memory Mode = 3\n\nCEMU Status = 4\n", kInvalidName, {{0, 0, 0, 0, 3}}},  // an empty line joins the next
        {"CEMU Status = 4\n\n", kInvalidName, {{0, 0, 0, 0, 0, 4}}},
        {"   = 9\nSync Frequency = 8\n", kKept, {{0, 0, 8}}},  // a blank name is skipped with its value
        {"=x\nTrace Mode = 2\n", kInvalidName, {}},             // the rest joins the next name
        {"Event Bit3 =" + x1023 + "\n", kKept, {{}, {"", "", "", x1023}}},
        {"Event Bit3 =" + x1023 + "y", kTooLong, {}},
        {std::string(1023, 'n') + "= 1\n", kInvalidName, {}},
        {"Trace Mode = 6\n" + n1024 + "= 1\n", kTooLong, {{6}}},
        {std::string(5000, 'z'), kTooLong, {}},
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        Apply(*manager, Config{});
        MarkError(*manager);
        WriteBytes(Settings("cfg"), row.text);
        EXPECT_EQ(manager->LoadConfiguration("cfg", 1), row.error == kKept) << row.text;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << row.text;
        EXPECT_EQ(Capture(*manager), row.expected) << row.text;
    }
}

// "Event Bit0 = ", the text and the line feed may fill 1023 characters; a
// longer line is refused before the file is touched.
TEST_F(ConfigFileTest, TextSaveRefusesALineTheLoadCouldNotTake)
{
    auto manager = NewManager();
    Apply(*manager, {{}, {std::string(1009, 'v')}});
    ASSERT_TRUE(manager->SaveConfiguration("cfg", 1));
    const std::string saved = ReadBytes(Settings("cfg"));
    Apply(*manager, {{}, {std::string(1010, 'v')}});
    EXPECT_FALSE(manager->SaveConfiguration("cfg", 1));
    EXPECT_EQ(manager->GetErrorMessage(), "Value of Event Bit0 too long for a text configuration line");
    EXPECT_EQ(ReadBytes(Settings("cfg")), saved);
}

// Calls that read or write nothing, each on a fresh manager: loads of other
// types succeed, saves of them fail; a missing file or a folder is no error.
TEST_F(ConfigFileTest, NamesAndTypesTable)
{
    NewManager();  // creates the settings folder
    fs::create_directory(Settings("folder"));
    const struct {
        bool save;
        const char* name;
        uint32_t type;
        bool result;
        const char* error;
    } rows[] = {
        {false, "", 1, false, ""},      {true, "", 3, false, ""},         {false, "cfg", 2, true, ""},
        {false, "cfg", 3, true, ""},    {false, "cfg", 5, true, ""},      {false, "cfg", UINT_MAX, true, ""},
        {true, "cfg", 3, false, kKept}, {true, "cfg", 4, false, kKept},   {true, "cfg", UINT_MAX, false, kKept},
        {false, "no file", 1, false, ""}, {false, "no_file", 4, false, ""}, {false, "folder", 1, false, ""},
        {true, "folder", 1, false, kFailedToOpen},
    };
    WriteBytes(Settings("cfg"), "Trace Mode = 4\n");
    for (const auto& row : rows) {
        auto manager = NewManager();
        const bool result = row.save ? manager->SaveConfiguration(row.name, row.type)
                                     : manager->LoadConfiguration(row.name, static_cast<int32_t>(row.type));
        EXPECT_EQ(result, row.result) << row.name << ' ' << row.type;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << row.name << ' ' << row.type;
        EXPECT_EQ(Capture(*manager), Config{}) << row.name << ' ' << row.type;
    }
    EXPECT_EQ(ReadBytes(Settings("cfg")), "Trace Mode = 4\n");
    const std::string settings = profile.SettingsDirectory();
    fs::rename(settings, settings + ".away");
    EXPECT_FALSE(NewManager()->SaveConfiguration("cfg", 2));  // no settings folder
    EXPECT_FALSE(fs::exists(settings));
    fs::rename(settings + ".away", settings);
}

// The device settings file is the CPU name rewritten as a save name, then "-TCfg.txt".
TEST_F(ConfigFileTest, ConstructorLoadsTheDeviceSettingsFile)
{
    auto first = NewManager("K4X FIRST");  // creates the settings directory
    WriteBytes(Settings("K4X_dev-1_core-TCfg.txt"), "Trace Mode = 3\nEvent Bit1 = go\nTWP_Protocol = 1\n");
    WriteBytes(Settings("K4X dev-1 core-TCfg.txt"), "Trace Mode = 8\n");
    EXPECT_EQ(Capture(*NewManager("K4X dev/1 core")), (Config{{3}, {"", "go"}, true}));
    EXPECT_EQ(Capture(*first), Config{});
}

// A save appends one version-2 section behind the others, and only to a
// file that is a TDF container already.
TEST_F(ConfigFileTest, TdfSaveTable)
{
    const std::string other = AsText(TdfImage({Section("OTHER", 1, "abc")}));
    const std::string payload =
        "Trace Mode=7\nEncoding Mode=-3\nSync Frequency=2147483647\nNumber of AEG=-2147483648\nMemory Mode=0\n"
        "CEMU Status=-1\nEvent Bit0=pc == 0x100\nEvent Bit1=\nEvent Bit2=x=y\tz  \nEvent Bit3=cut\nTWP_Protocol=1\n";
    const struct {
        const char* file;
        std::string before;  // "": no file
        std::string eventBit0;
        const char* error;  // kKept: saved
        std::string after;
    } rows[] = {
        {"cfg.tdf", other, "pc == 0x100", kKept, other + AsText(Section("AETCONFIG", 2, payload))},
        {"missing.tdf", "", "", kKept, ""},
        {"cfg.txt", "TDF2", "", kKept, "TDF2"},
        {"plain.tdf", "TDF", "", kKept, "TDF"},
        {"cfg.tdf", "TDF2", std::string(0x8000000, 'v'), "Configuration too large for a TDF section", "TDF2"},
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        Config config = kSampleSet;
        config.eventBits[0] = row.eventBit0;
        Apply(*manager, config);
        MarkError(*manager);
        const std::string path = profile.Path(row.file);
        if (!row.before.empty()) WriteBytes(path, row.before);
        EXPECT_EQ(manager->SaveConfiguration(path, 0), row.error == kKept) << row.file;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << row.file;
        EXPECT_EQ(ReadBytes(path), row.after) << row.file;
        fs::remove(path);
    }
}

// The old binary form has no protocol and no sync frequency: the protocol
// turns off, the sync frequency stays. A section that claims more than the
// file holds reads what is there and zeros after it.
TEST_F(ConfigFileTest, TdfLoadTable)
{
    const Config base = {{-1, -1, -1, -1, -1, -1}, {"x", "x", "x", "x"}, true};
    // A container of one AETCONFIG section whose length field may claim more.
    const auto tdf = [](uint32_t version, const std::string& data, uint32_t claimed = 0) {
        Bytes image = TdfImage({Section("AETCONFIG", version, data)});
        if (claimed != 0) SetU32(image, 4, claimed);
        return AsText(image);
    };
    const std::string v1 = U32(1) + U32(2) + U32(3) + U32(4) + U32(0xFFFFFFFB) + std::string("e0\0\0e2\0e3 x\0", 12);
    const std::string six = std::string("\x06\0\0\0\x02", 5);
    const struct {
        const char* file;
        std::string image;  // "": no file
        bool loaded;
        const char* error;
        Config expected;
    } rows[] = {
        {"a.tdf", tdf(1, v1), true, kKept, {{1, 3, -1, 2, 4, -5}, {"e0", "", "e2", "e3 x"}, false}},  // AEG, then encoding
        {"a.tdf", tdf(1, six), true, kKept, {{6, -1, -1, -1, -1, -1}, base.eventBits, false}},
        {"a.tdf", tdf(1, six, 0x8000000), true, kKept, {{6, 0, -1, 2, 0, 0}, {}, false}},
        {"a.tdf", tdf(2, "Trace Mode=6\nEvent Bit1=ab", 0x8000000), true, kKept, {{6, -1, -1, -1, -1, -1}, {"x", "ab", "x", "x"}, true}},
        {"a.tdf", tdf(1, ""), false, "No buffer allocated to load section data.", base},
        {"a.tdf", tdf(3, "Trace Mode=1\n"), false, "Section size cannot be located in the file.", base},
        {"a.tdf", "TDF1", false, kKept, base},
        {"a.txt", tdf(2, "Trace Mode=1\n"), false, kKept, base},
        {"missing.tdf", "", false, kKept, base},
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        Apply(*manager, base);
        MarkError(*manager);
        const std::string path = profile.Path(row.file);
        if (!row.image.empty()) WriteBytes(path, row.image);
        EXPECT_EQ(manager->LoadConfiguration(path, 0), row.loaded) << row.image;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << row.image;
        EXPECT_EQ(Capture(*manager), row.expected) << row.image;
        fs::remove(path);
    }
}

// Writes the first half of what it is given, as a full disk does.
std::size_t WriteHalf(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    return std::fwrite(data, size, count / 2, file);
}
// Opens every file but the temporary one, as a folder the user may not write does.
std::FILE* RefuseTemporary(const char* path, const char* mode)
{
    return std::strstr(path, "~k4x") != nullptr ? nullptr : std::fopen(path, mode);
}
bool NoRoom(const char*, uint64_t& bytes) { return bytes = 10, true; }
void RemoveFile(const char* path) { std::remove(path); }
void ReplaceByFolder(const char* path) { std::remove(path), fs::create_directory(path); }

// Saves over an old file (or none) with file operations failing; where the
// save fails, the old file stays as it was and no temporary file is left.
TEST_F(ConfigFileTest, DurableSaveTable)
{
    const std::string old = "Trace Mode = 1\n";
    const struct {
        bool oldFile;
        std::FILE* (*open)(const char*, const char*);
        std::size_t (*write)(const void*, std::size_t, std::size_t, std::FILE*);
        bool (*space)(const char*, uint64_t&);
        const char* error;
        std::vector<std::string> files;
        bool keepsOld;
    } rows[] = {
        {true, nullptr, &WriteHalf, nullptr, kFailedToWrite, {"cfg"}, true},
        {false, nullptr, &WriteHalf, nullptr, kFailedToWrite, {}, false},
        {true, &RefuseTemporary, nullptr, nullptr, "", {"cfg"}, false},  // written in place
        {true, &RefuseTemporary, &WriteHalf, nullptr, kFailedToWrite, {"cfg"}, false},
        {true, &RefuseTemporary, nullptr, &NoRoom, kFailedToWrite, {"cfg"}, true},  // full volume: not even truncated
    };
    for (const auto& row : rows) {
        NewManager();
        fs::remove(Settings("cfg"));
        if (row.oldFile) WriteBytes(Settings("cfg"), old);
        if (row.open != nullptr) ZR_KDT::SystemCalls().openFile = row.open;
        if (row.write != nullptr) ZR_KDT::SystemCalls().writeFile = row.write;
        if (row.space != nullptr) ZR_KDT::SystemCalls().freeDiskSpace = row.space;
        EXPECT_EQ(SaveAndCheck(), row.error) << &row - rows;
        ZR_KDT::ResetSystemCalls();
        EXPECT_EQ(SettingsFiles(), row.files) << &row - rows;
        EXPECT_EQ(ReadBytes(Settings("cfg")) == old, row.keepsOld) << &row - rows;
    }
    // A file that goes away, or turns into a folder, between the load's probe
    // and its read; where a folder opens as a stream, the read fails instead.
    for (void (*hook)(const char*) : {&RemoveFile, &ReplaceByFolder}) {
        auto manager = NewManager();
        MarkError(*manager);
        WriteBytes(Settings("cfg"), old);
        ZR_KDT::SystemCalls().afterTextProbe = hook;
        EXPECT_FALSE(manager->LoadConfiguration("cfg", 1));
        ZR_KDT::ResetSystemCalls();
        EXPECT_EQ(Capture(*manager), Config{});
        const std::string error = manager->GetErrorMessage();
        EXPECT_TRUE(error == kFailedToOpen || (hook == &ReplaceByFolder && error == kKept)) << error;
        fs::remove(Settings("cfg"));
    }
}

// A save never changes what kind of file the target is, its permissions or
// its owner; on Windows a file held open cannot be replaced but is written.
TEST_F(ConfigFileTest, SaveKeepsTheTargetsKindPermissionsAndOwner)
{
    NewManager();
    const std::string target = profile.Path("elsewhere");
    WriteBytes(target, "old");
    std::error_code error;
    fs::create_symlink(target, Settings("cfg"), error);
    if (!error) {
        EXPECT_EQ(SaveAndCheck(), "");
        EXPECT_TRUE(fs::is_symlink(Settings("cfg")));
        EXPECT_EQ(ReadBytes(target), ReadBytes(Settings("cfg")));
        fs::remove(Settings("cfg"));
    }
    WriteBytes(Settings("cfg"), "old");
    fs::permissions(Settings("cfg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(Settings("cfg")).permissions();
    std::FILE* other = ZR_KDT::platform::OpenSharedFile(Settings("cfg").c_str(), "r");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SaveAndCheck(), "");
    std::fclose(other);
    EXPECT_EQ(fs::status(Settings("cfg")).permissions(), before);
    EXPECT_EQ(SettingsFiles(), std::vector<std::string>{"cfg"});
    const std::string quoted = "'" + Settings("cfg") + "'";
    if (ZR_KDT::platform::kPathSeparator != '/' || std::system(("chown 4321:4322 " + quoted).c_str()) != 0) {
        GTEST_SKIP() << "giving a file away needs a POSIX host and root";
    }
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(std::system(("test \"$(stat -c %u:%g " + quoted + ")\" = 4321:4322").c_str()), 0);
}

}  // namespace
}  // namespace k4xtest
