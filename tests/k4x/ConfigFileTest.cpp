// Configuration files through managers built for real, each test case in a scratch profile of its own: the exact
// text lines and AETCONFIG section a save writes, the rules a load follows, the error each leaves, failing saves.
#include "Bytes.h"
#include "ConfigValues.h"
#include "K4xDeviceCfgMgr.h"
#include "Platform.h"
#include "ScratchProfile.h"
#include "TraceLog.h"
#include "uEnvironment.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <list>
#include <memory>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

const char kInvalidName[] = "Invalide property name";
const char kTooLong[] = "Configuration entry longer than 1023 characters";
const char kFailedToOpen[] = "Failed to open file";
const char kFailedToWrite[] = "Failed to write file";
const char kInvalidType[] = "Invalid file type";
const char* const kKept = kInvalidType;  // marked before each load, left by one without error
const bool kPosix = ZR_KDT::platform::kPathSeparator == '/';
const ConfigValues kSample = {{7, -3, INT_MAX, INT_MIN, 0, -1}, {"pc == 0x100", "", "x=y\tz  ", "cut"}, true};
// kSample as it is set: a text is saved up to its first NUL.
const ConfigValues kSampleSet = {kSample.integers, {"pc == 0x100", "", "x=y\tz  ", std::string("cut\0off", 7)}, true};

class ConfigFileTest : public ::testing::Test {
protected:
    // The first manager creates the settings folder.
    void SetUp() override { NewManager(), fs::create_directory(Settings("folder")); }
    void TearDown() override { ZR_KDT::platform::ResetSystemCalls(); }

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
    std::string Settings(const std::string& name) { return (fs::path(profile.SettingsDirectory()) / name).string(); }
    // Entries of the settings folder: "folder", the files, temporary ones.
    std::ptrdiff_t SettingsFiles() { return std::distance(fs::directory_iterator(profile.SettingsDirectory()), {}); }
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

// The eleven text lines of kSample with the first event bit given.
std::string SampleText(const std::string& bit0)
{
    return "Trace Mode = 7\nEncoding Mode = -3\nSync Frequency = 2147483647\nNumber of AEG = -2147483648\n"
           "Memory Mode = 0\nCEMU Status = -1\nEvent Bit0 = " + bit0 + "\nEvent Bit1 = \nEvent Bit2 = x=y\tz  \n"
           "Event Bit3 = cut\nTWP_Protocol = 1\n";
}

// Saves of kSampleSet with the first event bit given, each by a fresh manager. Blanks in a save name become "_" and
// "/" becomes "-", type 2 adds ".dcm"; a TDF save appends one version-2 section behind the others, and only to a file
// that is a TDF container already.
TEST_F(ConfigFileTest, SaveTable)
{
    const auto tdf = [&](const char* name) { return profile.Path(name); };
    const std::string other = AsText(TdfImage({Section("OTHER", 1, "abc")}));
    const std::string payload =
        "Trace Mode=7\nEncoding Mode=-3\nSync Frequency=2147483647\nNumber of AEG=-2147483648\nMemory Mode=0\n"
        "CEMU Status=-1\nEvent Bit0=pc == 0x100\nEvent Bit1=\nEvent Bit2=x=y\tz  \nEvent Bit3=cut\nTWP_Protocol=1\n";
    const std::string v1009(1009, 'v'), v1010(1010, 'v');
    const struct {
        std::string name;
        uint32_t type;
        std::string bit0;
        std::string file, before;  // "": no file
        bool saved;
        std::string error, after;
    } rows[] = {
        {"a b/c", 1, "pc == 0x100", Settings("a_b-c"), std::string(5000, 'x'), true, "",
         StoredText(SampleText("pc == 0x100"))},
        {"a b/c", 2, "", Settings("a_b-c.dcm"), "", true, "", StoredText(SampleText(""))},
        // "Event Bit0 = ", the text and the line feed may fill 1023 characters.
        {"cfg", 1, v1009, Settings("cfg"), "old", true, "", StoredText(SampleText(v1009))},
        {"cfg", 1, v1010, Settings("cfg"), "old", false,
         "Value of Event Bit0 too long for a text configuration line", "old"},
        {"folder", 1, "", Settings("cfg"), "", false, kFailedToOpen, ""},
        {"cfg", 4, "", Settings("cfg"), "old", false, kInvalidType, "old"},
        {"", 1, "", Settings("cfg"), "old", false, "", "old"},
        {tdf("cfg.tdf"), 0, "pc == 0x100", tdf("cfg.tdf"), other, true, "",
         other + AsText(Section("AETCONFIG", 2, payload))},
        {tdf("missing.tdf"), 0, "", tdf("missing.tdf"), "", true, "", ""},
        {tdf("cfg.txt"), 0, "", tdf("cfg.txt"), "TDF2", true, "", "TDF2"},
        {tdf("plain.tdf"), 0, "", tdf("plain.tdf"), "TDF", true, "", "TDF"},
        {tdf("cfg.tdf"), 0, std::string(0x8000000, 'v'), tdf("cfg.tdf"), "TDF2", false,
         "Configuration too large for a TDF section", "TDF2"},
    };
    for (const auto& row : rows) {
        auto manager = NewManager();
        ConfigValues config = kSampleSet;
        config.eventBits[0] = row.bit0;
        Apply(*manager, config);
        if (!row.before.empty()) WriteBytes(row.file, row.before);
        EXPECT_EQ(manager->SaveConfiguration(row.name, row.type), row.saved) << &row - rows;
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << &row - rows;
        EXPECT_EQ(ReadBytes(row.file), row.after) << &row - rows;
        fs::remove(row.file);
    }
}

ZR_KDT::platform::SystemCallTable& Calls() { return ZR_KDT::platform::SystemCalls(); }

// Opens as the system does, but a file opened for the second time (a text load's read after its probe) is first taken
// away, as another program may do meanwhile.
int g_opens = 0;
std::FILE* RemovedBeforeRead(const char* path, const char* mode)
{
    if (++g_opens == 2) std::remove(path);
    return std::fopen(path, mode);
}
std::FILE* FolderBeforeRead(const char* path, const char* mode)
{
    if (++g_opens == 2) {
        std::remove(path);
        fs::create_directory(path);
    }
    return std::fopen(path, mode);
}

// Loads into a manager that holds the defaults (a text file) or base (a TDF file) and a marked error, which a load
// without error leaves. The old binary form has no protocol and no sync frequency: the protocol turns off, the sync
// frequency stays. A TDF section that claims more than the file holds reads what is there and zeros after it.
TEST_F(ConfigFileTest, LoadTable)
{
    const ConfigValues base = {{-1, -1, -1, -1, -1, -1}, {"x", "x", "x", "x"}, true};
    const auto tdf = [](uint32_t version, const std::string& data, uint32_t claimed = 0) {
        Bytes image = TdfImage({Section("AETCONFIG", version, data)});
        if (claimed != 0) SetU32(image, 4, claimed);
        return AsText(image);
    };
    const std::string a = profile.Path("a.tdf"), x1023(1023, 'x');
    const std::string v1 = U32(1) + U32(2) + U32(3) + U32(4) + U32(0xFFFFFFFB) + std::string("e0\0\0e2\0e3 x\0", 12);
    const struct {
        std::string name;  // in the settings folder for the text types
        int32_t type;
        std::string bytes;  // "": no file
        bool loaded;
        const char* error;
        ConfigValues expected;
        std::FILE* (*open)(const char*, const char*) = nullptr;
    } rows[] = {
        {"a_b-c.dcm", 4, SampleText("pc == 0x100"), true, kKept, kSample},
        // Name ends and value starts are trimmed; the last line end is optional; a lone CR stays.
        {"cfg", 1, "Trace Mode = 5\nEvent Bit0   ==  = x = y  \nEvent Bit1 = \r\nTWP_Protocol = 3", true, kKept,
         {{5}, {"x = y  "}, true}},
        {"cfg", 1, "Event Bit0 = x\r\r\nEvent Bit1 = y\r", true, kKept, {{}, {"x\r", "y\r"}}},
        // Text mode ends the text at a Ctrl-Z on Windows.
        {"cfg", 1, "Trace Mode = 5\n\x1AMemory Mode = 7\n", !kPosix, kPosix ? kInvalidName : kKept, {{5}}},
        {"cfg", 1, "trace mode = 1\n", false, kInvalidName, {}},
        {"cfg", 1, "   = 9\nSync Frequency = 8\n", true, kKept, {{0, 0, 8}}},  // a blank name goes with its value
        {"cfg", 1, "=x\nTrace Mode = 2\n", false, kInvalidName, {}},             // the rest joins the next name
        {"cfg", 1, "Event Bit3 =" + x1023 + "\n", true, kKept, {{}, {"", "", "", x1023}}},
        {"cfg", 1, std::string(1023, 'n') + "= 1\n", false, kInvalidName, {}},
        {"cfg", 1, std::string(5000, 'z'), false, kTooLong, {}},
        // Other types read nothing; nothing to read is no error.
        {"cfg", 2, "Trace Mode = 4\n", true, kKept, {}},
        {"", 1, "", false, kKept, {}},
        // Where a folder opens as a stream, the read fails instead of the open.
        {"cfg", 1, "Trace Mode = 5\n", false, kFailedToOpen, {}, &RemovedBeforeRead},
        {"cfg", 1, "Trace Mode = 5\n", false, kPosix ? kKept : kFailedToOpen, {}, &FolderBeforeRead},
        {"no file", 1, "", false, kKept, {}},
        {"folder", 1, "", false, kKept, {}},
        {a, 0, tdf(1, v1), true, kKept, {{1, 3, -1, 2, 4, -5}, {"e0", "", "e2", "e3 x"}, false}},  // AEG, then encoding
        {a, 0, tdf(1, std::string("\x06\0\0\0\x02", 5), 0x8000000), true, kKept, {{6, 0, -1, 2, 0, 0}, {}, false}},
        // Payload values as properties read them: integers as atoi does, the protocol off only for the single "0",
        // texts unchanged; a name no file holds is passed over.
        {a, 0, tdf(2, "Sync Frequency=\t -5x\nEvent Bit2= x = y \nTWP_Protocol= 0\n"), true, kKept,
         {{-1, -1, -5, -1, -1, -1}, {"x", "x", " x = y ", "x"}, true}},
        {a, 0, tdf(2, "TWP_Protocol=0\nCycleModeDelta=0\nTrace Mode=abc\ntrace mode=4"), true, kKept,
         {{0, -1, -1, -1, -1, -1}, base.eventBits, false}},
        {a, 0, tdf(1, ""), false, "No buffer allocated to load section data.", base},
        {a, 0, tdf(3, "Trace Mode=1\n"), false, "Section size cannot be located in the file.", base},
        {profile.Path("a.txt"), 0, tdf(2, "Trace Mode=1\n"), false, kKept, base},
        {profile.Path("missing.tdf"), 0, "", false, kKept, base},
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        Apply(*manager, row.type == 0 ? base : ConfigValues{});
        MarkError(*manager);
        const std::string file = row.type == 0 ? row.name : Settings(row.name);
        if (!row.bytes.empty()) WriteBytes(file, row.bytes);
        g_opens = 0;
        if (row.open != nullptr) Calls().open = row.open;
        EXPECT_EQ(manager->LoadConfiguration(row.name, row.type), row.loaded) << &row - rows;
        ZR_KDT::platform::ResetSystemCalls();
        EXPECT_EQ(manager->GetErrorMessage(), row.error) << &row - rows;
        EXPECT_EQ(Capture(*manager), row.expected) << &row - rows;
        if (!row.bytes.empty()) fs::remove(file);
    }
}

// The device settings file is the CPU name rewritten as a save name, then "-TCfg.txt".
TEST_F(ConfigFileTest, ConstructorLoadsTheDeviceSettingsFile)
{
    auto first = NewManager("K4X FIRST");  // creates the settings directory
    WriteBytes(Settings("K4X_dev-1_core-TCfg.txt"), "Trace Mode = 3\nEvent Bit1 = go\nTWP_Protocol = 1\n");
    WriteBytes(Settings("K4X dev-1 core-TCfg.txt"), "Trace Mode = 8\n");
    EXPECT_EQ(Capture(*NewManager("K4X dev/1 core")), (ConfigValues{{3}, {"", "go"}, true}));
    EXPECT_EQ(Capture(*first), ConfigValues{});
}

// Writes the first half of what it is given, as a full disk does.
std::size_t WriteHalf(const void* data, std::size_t size, std::size_t n, std::FILE* file)
{
    return std::fwrite(data, size, n / 2, file);
}
// Opens every file but the temporary one.
std::FILE* RefuseTemporary(const char* path, const char* mode)
{
    return std::strstr(path, "~k4x") != nullptr ? nullptr : std::fopen(path, mode);
}
bool NoRoom(const char*, uint64_t& bytes)
{
    bytes = 10;
    return true;
}
bool FailFlush(std::FILE*) { return false; }
bool FailClose(std::FILE* file)
{
    std::fclose(file);
    return false;
}
bool RefuseReplace(const char*, const char*) { return false; }

// Saves over an old file (or none) with file operations failing; where the save fails, the old file stays as it was
// and no temporary file is left. A file written in place needs room only for what the new text adds.
TEST_F(ConfigFileTest, DurableSaveTable)
{
    const std::string old = "Trace Mode = 1\n", longer(1000, 'x');
    const struct {
        const char* label;
        std::string before;    // "": no file
        bool noTemporary;      // the temporary file is refused, as in a folder the user may not write
        void (*fake)();        // replaces entries of the system-call table
        const char* error;
        std::ptrdiff_t files;  // in the settings folder, "folder" included
        bool keepsOld;
    } rows[] = {
        {"short write", old, false, [] { Calls().write = &WriteHalf; }, kFailedToWrite, 2, true},
        {"short write, no file", "", false, [] { Calls().write = &WriteHalf; }, kFailedToWrite, 1, true},
        {"failed flush", old, false, [] { Calls().flush = &FailFlush; }, kFailedToWrite, 2, true},
        {"failed close", old, false, [] { Calls().close = &FailClose; }, kFailedToWrite, 2, true},
        {"replacement refused: in place", old, false, [] { Calls().replace = &RefuseReplace; }, "", 2, false},
        {"no temporary: in place", old, true, [] {}, "", 2, false},
        {"in place, short write", old, true, [] { Calls().write = &WriteHalf; }, kFailedToWrite, 2, false},
        {"in place, full volume: not even truncated", old, true, [] { Calls().freeDiskSpace = &NoRoom; },
         kFailedToWrite, 2, true},
        {"in place, full volume, a shorter text", longer, true, [] { Calls().freeDiskSpace = &NoRoom; }, "", 2, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove(Settings("cfg"));
        if (!row.before.empty()) WriteBytes(Settings("cfg"), row.before);
        if (row.noTemporary) Calls().open = &RefuseTemporary;
        row.fake();
        EXPECT_EQ(SaveAndCheck(), row.error);
        ZR_KDT::platform::ResetSystemCalls();
        EXPECT_EQ(SettingsFiles(), row.files);
        EXPECT_EQ(ReadBytes(Settings("cfg")) == row.before, row.keepsOld);
    }
}

// Logging is read when the first manager is made.
class LoggedConfigFileTest : public ConfigFileTest {
    void SetUp() override { profile.SetVariable("ZR_TRACE_LOGGING", "1"), ConfigFileTest::SetUp(); }
};

// Saves and loads log the file they found, its path formatted into the message.
TEST_F(LoggedConfigFileTest, FoundFilesAreLogged)
{
    EXPECT_EQ(SaveAndCheck(), "");
    std::string log;
    const TraceLog trace(ZR_KDT::GetEnvironmentValue("ZR_TRACE_LOGGING_DIR"));
    for (const std::string& message : trace.Messages()) log += message + "\n";
    for (const std::string found : {"Found output file ", "Found input file "})
        EXPECT_NE(log.find(found + Settings("cfg") + " \n"), std::string::npos) << log;
}

// A save never changes what kind of file the target is, its permissions or its owner. It replaces a file where it
// can: a reader that holds the old one open keeps it on POSIX; on Windows an open file is written instead.
TEST_F(ConfigFileTest, SaveKeepsTheTargetsKindPermissionsAndOwner)
{
    const std::string target = profile.Path("elsewhere");
    WriteBytes(target, "old");
    std::error_code error;
    fs::create_symlink(target, Settings("cfg"), error);
    if (!error) {
        EXPECT_EQ(SaveAndCheck(), "");
        EXPECT_TRUE(fs::is_symlink(Settings("cfg")));
        fs::remove(Settings("cfg"));
    }
    WriteBytes(Settings("cfg"), "old");
    fs::permissions(Settings("cfg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(Settings("cfg")).permissions();
    std::FILE* other = Calls().open(Settings("cfg").c_str(), "r");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SaveAndCheck(), "");
    char held[4] = {};
    EXPECT_TRUE(!kPosix || (std::fread(held, 1, 3, other) == 3 && std::string(held) == "old")) << held;
    std::fclose(other);
    EXPECT_EQ(fs::status(Settings("cfg")).permissions(), before);
    EXPECT_EQ(SettingsFiles(), 2);
    const std::string quoted = "'" + Settings("cfg") + "'";
    // Giving a file away needs a POSIX host and root; CI runs as root.
    if (kPosix && std::system(("chown 4321:4322 " + quoted).c_str()) == 0) {
        EXPECT_EQ(SaveAndCheck(), "");
        EXPECT_EQ(std::system(("test \"$(stat -c %u:%g " + quoted + ")\" = 4321:4322").c_str()), 0);
    }
    // A second hard link would keep the old text after a replacement: such a file is written in place.
    WriteBytes(Settings("cfg"), "old");
    fs::create_hard_link(Settings("cfg"), profile.Path("second link"));
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(ReadBytes(profile.Path("second link")), ReadBytes(Settings("cfg")));
}

}  // namespace
}  // namespace k4xtest
