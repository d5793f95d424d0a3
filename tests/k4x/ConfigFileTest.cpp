// Configuration files through managers built for real, each test case in a scratch profile of its own: the exact
// text lines and AETCONFIG section a save writes, the rules a load follows, the error each leaves, failing saves.
#include "Bytes.h"
#include "ConfigValues.h"
#include "FaultyCalls.h"
#include "K4xDeviceCfgMgr.h"
#include "K4xStore.h"
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
#include <tuple>

namespace k4xtest {
namespace {

namespace fs = std::filesystem;

const char kInvalidName[] = "Invalide property name";
const char kFailedToOpen[] = "Failed to open file";
const char kFailedToWrite[] = "Failed to write file";
const char kKept[] = "Invalid file type";  // marked before each load, left by one without error
const bool kPosix = k4xplatform::kPathSeparator == '/';
// The sample that saves set; a text is saved up to its first NUL.
const ConfigValues kSampleSet = {
    {7, -3, INT_MAX, INT_MIN, 0, -1}, {"pc == 0x100", "", "x=y\tz  ", std::string("cut\0off", 7)}, true};
// What a manager holds, as Held gives it: the sample, and the defaults.
const char kSampleHeld[] = "7 -3 2147483647 -2147483648 0 -1 [pc == 0x100][][x=y\tz  ][cut] 1";
const char kDefaults[] = "0 0 0 0 0 0 [][][][] 0";

// The stored values as one text: the six integers, each event bit in brackets (up to its first NUL, as a save stores
// it), the protocol flag.
std::string Held(K4xDeviceCfgMgr& manager)
{
    const ConfigValues values = Capture(manager);
    std::string held;
    for (const int32_t value : values.integers) held += std::to_string(value) + " ";
    for (const std::string& text : values.eventBits) held += "[" + std::string(text.c_str()) + "]";
    return held + " " + std::to_string(values.twp);
}

class ConfigFileTest : public ::testing::Test {
protected:
    // The first manager creates the settings folder.
    void SetUp() override
    {
        NewManager();
        fs::create_directory(Settings("folder"));
    }
    void TearDown() override { k4xplatform::ResetSystemCalls(); }

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
    // Saves kSampleSet into Settings("cfg") and reads it back as type 4; "" or the save's error.
    std::string SaveAndCheck()
    {
        auto manager = NewManager();
        Apply(*manager, kSampleSet);
        if (!manager->SaveConfiguration("cfg", 1)) return manager->GetErrorMessage();
        auto reader = NewManager("K4X OTHER");
        EXPECT_TRUE(reader->LoadConfiguration("cfg", 4));
        EXPECT_EQ(Held(*reader), kSampleHeld);
        return "";
    }

    ScratchProfile profile;

private:
    std::list<Zr::Kdt::Trace::DeviceDescriptor> m_descriptors;
};

// The eleven text lines of the sample with the first event bit given.
std::string SampleText(const std::string& bit0)
{
    return "Trace Mode = 7\nEncoding Mode = -3\nSync Frequency = 2147483647\nNumber of AEG = -2147483648\n"
           "Memory Mode = 0\nCEMU Status = -1\nEvent Bit0 = " + bit0 + "\nEvent Bit1 = \nEvent Bit2 = x=y\tz  \n"
           "Event Bit3 = cut\nTWP_Protocol = 1\n";
}

// Saves of kSampleSet with the first event bit given, each by a fresh manager. Blanks in a save name become "_" and
// "/" becomes "-"; a TDF save appends one version-2 section behind the others, and only to a file that is a TDF
// container already.
TEST_F(ConfigFileTest, SaveTable)
{
    const std::string other = AsText(TdfImage({Section("OTHER", 1, "abc")})), tdf = profile.Path("cfg.tdf");
    const std::string payload =
        "Trace Mode=7\nEncoding Mode=-3\nSync Frequency=2147483647\nNumber of AEG=-2147483648\nMemory Mode=0\n"
        "CEMU Status=-1\nEvent Bit0=pc == 0x100\nEvent Bit1=\nEvent Bit2=x=y\tz  \nEvent Bit3=cut\nTWP_Protocol=1\n";
    const std::string v1009(1009, 'v'), v1010(1010, 'v');
    const struct {
        const char* label;
        std::string name;
        uint32_t type;
        std::string bit0;
        std::string file;    // where the save goes
        std::string before;  // "": no file
        bool saved;
        std::string error;
        std::string after;
        void (*fault)() = nullptr;
    } rows[] = {
        // clang-format off
        // label                              name       type   bit0                          file                before                   saved   error                                                          after                                         fault
        {"text over a longer file",           "a b/c",   1,     "pc == 0x100",                Settings("a_b-c"),  std::string(5000, 'x'),  true,   "",                                                            StoredText(SampleText("pc == 0x100"))},
        // "Event Bit0 = ", the text and the line feed may fill 1023 characters.
        {"the longest line",                  "cfg",     1,     v1009,                        Settings("cfg"),    "old",                   true,   "",                                                            StoredText(SampleText(v1009))},
        {"a line too long",                   "cfg",     1,     v1010,                        Settings("cfg"),    "old",                   false,  "Value of Event Bit0 too long for a text configuration line",  "old"},
        {"a folder",                          "folder",  1,     "",                           Settings("cfg"),    "",                      false,  kFailedToOpen,                                                 ""},
        {"no name",                           "",        1,     "",                           Settings("cfg"),    "old",                   false,  "",                                                            "old"},
        {"tdf",                               tdf,       0,     "pc == 0x100",                tdf,                other,                   true,   "",                                                            other + AsText(Section("AETCONFIG", 2, payload))},
        {"tdf: no container, nothing to do",  tdf,       0,     "",                           tdf,                "",                      true,   "",                                                            ""},
        {"tdf: too large",                    tdf,       0,     std::string(0x8000000, 'v'),  tdf,                "TDF2",                  false,  "Configuration too large for a TDF section",                   "TDF2"},
        {"tdf: no update open",               tdf,       0,     "",                           tdf,                other,                   false,  "Could not open TDF file as specified.",                       other,                                        &RefuseUpdate},
        {"tdf: data not written",             tdf,       0,     "",                           tdf,                other,                   false,  "Write I/O error - unable to write section data.",             other + AsText(Section("AETCONFIG", 2, "")),  &FailWrite<6>},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        auto manager = NewManager();
        ConfigValues config = kSampleSet;
        config.eventBits[0] = row.bit0;
        Apply(*manager, config);
        if (!row.before.empty()) WriteBytes(row.file, row.before);
        if (row.fault != nullptr) row.fault();
        EXPECT_EQ(manager->SaveConfiguration(row.name, row.type), row.saved);
        k4xplatform::ResetSystemCalls();
        EXPECT_EQ(manager->GetErrorMessage(), row.error);
        EXPECT_EQ(ReadBytes(row.file), row.after);
        fs::remove(row.file);
    }
}

// Loads into a manager that holds the defaults (a text file) or the sample (a TDF file) and a marked error, which a
// load without error leaves. The old binary form has no protocol and no sync frequency: the protocol turns off, the
// sync frequency stays. A TDF section that claims more than the file holds reads what is there and zeros after it.
TEST_F(ConfigFileTest, LoadTable)
{
    const auto tdf = [](uint32_t version, const std::string& data) {
        return AsText(TdfImage({Section("AETCONFIG", version, data)}));
    };
    const std::string a = profile.Path("a.tdf"), x1023(1023, 'x');
    const std::string v1 = U32(1) + U32(2) + U32(3) + U32(0x01000004) + U32(0xFFFFFFFB) + std::string("e0\0\0e2\0e3 x\0", 12);
    const struct {
        const char* label;
        std::string bytes;  // "": no file
        bool loaded;
        const char* error;
        std::string held;
        int32_t type = 1;
        std::string name = "cfg";  // in the settings folder for the text types
        void (*fault)() = nullptr;
    } rows[] = {
        // clang-format off
        // label                                   bytes                                                                             loaded    error                                               held                                                                  type   name    fault
        // Name ends and value starts are trimmed; the last line end is optional; a lone CR stays.
        {"trimming",                               "Trace Mode = 5\nEvent Bit0   ==  = x = y  \nEvent Bit1 = \r\nTWP_Protocol = 3",  true,     kKept,                                              "5 0 0 0 0 0 [x = y  ][][][] 1"},
        {"carriage returns",                       "Event Bit0 = x\r\r\nEvent Bit1 = y\r",                                           true,     kKept,                                              "0 0 0 0 0 0 [x\r][y\r][][] 0"},
        // Text mode ends the text at a Ctrl-Z on Windows; POSIX reads the byte as part of the next name.
        {"Ctrl-Z",                                 "Trace Mode = 5\n\x1AMemory Mode = 7\n",                                          !kPosix,  kPosix ? kInvalidName : kKept,                      "5 0 0 0 0 0 [][][][] 0"},
        {"names match case",                       "trace mode = 1\n",                                                               false,    kInvalidName,                                       kDefaults},
        {"a blank name goes with its value",       "   = 9\nSync Frequency = 8\n",                                                   true,     kKept,                                              "0 0 8 0 0 0 [][][][] 0"},
        {"after an empty name, the next name",     "=x\nTrace Mode = 2\n",                                                           false,    kInvalidName,                                       kDefaults},
        {"the longest value",                      "Event Bit3 =" + x1023 + "\n",                                                    true,     kKept,                                              "0 0 0 0 0 0 [][][][" + x1023 + "] 0"},
        {"a name too long",                        std::string(5000, 'z'),                                                           false,    "Configuration entry longer than 1023 characters",  kDefaults},
        // Other types read nothing; nothing to read is no error.
        {"type 2 reads nothing",                   "Trace Mode = 4\n",                                                               true,     kKept,                                              kDefaults,                                                            2},
        {"no file",                                "",                                                                               false,    kKept,                                              kDefaults,                                                            1,     "no file"},
        // Where a folder opens as a stream (POSIX), the read fails instead of the open.
        {"read open refused",                      "Trace Mode = 5\n",                                                               false,    kFailedToOpen,                                      kDefaults,                                                            1,     "cfg",  &RefuseRead},
        {"a folder",                               "",                                                                               false,    kKept,                                              kDefaults,                                                            1,     "folder"},
        {"version 1: AEG, then encoding",          tdf(1, v1),                                                                       true,     kKept,                                              "1 3 2147483647 2 16777220 -5 [e0][][e2][e3 x] 0",                    0,     a},
        {"version 1 claiming more than the file",  tdf(1, std::string("\x06\0\0\0\x02", 5)).replace(4, 4, U32(0x8000000)),           true,     kKept,                                              "6 0 2147483647 2 0 0 [][][][] 0",                                    0,     a},
        // Payload values as properties read them: integers as atoi does, the protocol off only for the single "0",
        // texts unchanged; a name no file holds is passed over.
        {"version 2 values",                       tdf(2, "Sync Frequency=\t -5x\nEvent Bit2= x = y \nTWP_Protocol= 0\n"),           true,     kKept,                                              "7 -3 -5 -2147483648 0 -1 [pc == 0x100][][ x = y ][cut] 1",           0,     a},
        {"version 2 names",                        tdf(2, "TWP_Protocol=0\nCycleModeDelta=0\nTrace Mode=abc\ntrace mode=4"),         true,     kKept,                                              "0 -3 2147483647 -2147483648 0 -1 [pc == 0x100][][x=y\tz  ][cut] 0",  0,     a},
        {"version 1 empty",                        tdf(1, ""),                                                                       false,    "No buffer allocated to load section data.",        kSampleHeld,                                                          0,     a},
        {"not a .tdf",                             tdf(2, "Trace Mode=1\n"),                                                         false,    kKept,                                              kSampleHeld,                                                          0,     profile.Path("a.txt")},
        // clang-format on
    };
    auto manager = NewManager();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Apply(*manager, row.type == 0 ? kSampleSet : ConfigValues{});
        MarkError(*manager);
        const std::string file = row.type == 0 ? row.name : Settings(row.name);
        if (!row.bytes.empty()) WriteBytes(file, row.bytes);
        if (row.fault != nullptr) row.fault();
        EXPECT_EQ(manager->LoadConfiguration(row.name, row.type), row.loaded);
        k4xplatform::ResetSystemCalls();
        EXPECT_EQ(manager->GetErrorMessage(), row.error);
        EXPECT_EQ(Held(*manager), row.held);
        if (!row.bytes.empty()) fs::remove(file);
    }
}

// The device settings file is the CPU name rewritten as a save name, then "-TCfg.txt".
TEST_F(ConfigFileTest, ConstructorLoadsTheDeviceSettingsFile)
{
    auto first = NewManager("K4X FIRST");  // creates the settings directory
    WriteBytes(Settings("K4X_dev-1_core-TCfg.txt"), "Trace Mode = 3\nEvent Bit1 = go\nTWP_Protocol = 1\n");
    WriteBytes(Settings("K4X dev-1 core-TCfg.txt"), "Trace Mode = 8\n");
    EXPECT_EQ(Held(*NewManager("K4X dev/1 core")), "3 0 0 0 0 0 [][go][][] 1");
    EXPECT_EQ(Held(*first), kDefaults);
}

int g_openFiles = 0;  // opened through the table and not closed yet
bool g_noTemporary = false;

// Opens as the system does, counting the files, but refuses the temporary file where g_noTemporary is set, as a
// folder the user may not write does.
File CountingOpen(const char* path, const char* mode)
{
    const bool refused = g_noTemporary && std::strstr(path, "~k4x") != nullptr;
    const File file = refused ? k4xplatform::kNoFile : Own().open(path, mode);
    g_openFiles += k4xplatform::IsOpen(file);
    return file;
}
bool CountingClose(File file)
{
    --g_openFiles;
    return Own().close(file);
}
void FailClose()
{
    Calls().close = [](File file) { return !CountingClose(file); };
}
void FailSync()
{
    Calls().sync = [](File) { return false; };
}
void RefuseReplace()
{
    Calls().rename = [](const char*, const char*) { return k4xplatform::Rename_Refused; };
}
void NoRoom()
{
    Calls().freeDiskSpace = [](const char*, uint64_t& bytes) {
        bytes = 10;
        return true;
    };
}

// Saves over an old file with file operations failing; where the save fails, the old file stays as it was
// and no temporary file is left. A file written in place needs room only for what the new text adds. Every stream
// that a save opens, it closes.
TEST_F(ConfigFileTest, DurableSaveTable)
{
    const std::string old = "Trace Mode = 1\n", longer(1000, 'x');
    // Room for the text with its line ends as line feeds, not as CR LF.
    const std::string almost(SampleText("pc == 0x100").size() - 5, 'x');
    const struct {
        const char* label;
        std::string before;
        bool noTemporary;  // the temporary file is refused
        void (*fault)();
        const char* error;
        bool keepsOld;
    } rows[] = {
        // clang-format off
        // label                                       before   noTemporary   fault            error            keepsOld
        {"short write",                                old,     false,        &FailWrite<1>,   kFailedToWrite,  true},
        {"failed flush",                               old,     false,        &FailFlush,      kFailedToWrite,  true},
        {"failed close",                               old,     false,        &FailClose,      kFailedToWrite,  true},
        {"failed sync",                                old,     false,        &FailSync,       kFailedToWrite,  true},
        {"replacement refused: in place",              old,     false,        &RefuseReplace,  "",              false},
        {"no temporary: in place",                     old,     true,         nullptr,         "",              false},
        {"in place, short write",                      old,     true,         &FailWrite<1>,   kFailedToWrite,  false},
        {"in place, full volume: not even truncated",  old,     true,         &NoRoom,         kFailedToWrite,  true},
        {"in place, full volume, a shorter text",      longer,  true,         &NoRoom,         "",              false},
        {"in place, room for line feeds only",         almost,  true,         &NoRoom,         kPosix ? "" : kFailedToWrite,  !kPosix},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        WriteBytes(Settings("cfg"), row.before);
        g_noTemporary = row.noTemporary;
        Calls().open = &CountingOpen;
        Calls().close = &CountingClose;
        if (row.fault != nullptr) row.fault();
        EXPECT_EQ(SaveAndCheck(), row.error);
        k4xplatform::ResetSystemCalls();
        EXPECT_EQ(g_openFiles, 0);
        EXPECT_EQ(SettingsFiles(), 2);  // "folder" and the file
        EXPECT_EQ(ReadBytes(Settings("cfg")) == row.before, row.keepsOld);
    }
    // A failed first save leaves no file, not even an empty one.
    for (const bool noTemporary : {false, true}) {
        fs::remove(Settings("cfg"));
        g_noTemporary = noTemporary;
        Calls().open = &CountingOpen;
        Calls().close = &CountingClose;
        FailWrite<1>();
        EXPECT_EQ(SaveAndCheck(), kFailedToWrite) << noTemporary;
        k4xplatform::ResetSystemCalls();
        EXPECT_EQ(SettingsFiles(), 1) << noTemporary;
    }
    // A target whose access rights cannot be read (its name is longer than the system takes) is not replaced, and
    // the temporary file is closed all the same.
    g_noTemporary = false;
    Calls().open = &CountingOpen;
    Calls().close = &CountingClose;
    EXPECT_FALSE(k4xstore::WriteFileDurably(Settings(std::string(300, 'n')), "text"));
    EXPECT_EQ(g_openFiles, 0);
}

int g_renames = 0;

// The replacement deletes the old file and fails, as ReplaceFileA can; a later rename moves, or is refused.
template <bool laterMoves>
void TargetGone()
{
    g_renames = 0;
    Calls().rename = [](const char* from, const char* to) {
        if (++g_renames > 1) return laterMoves ? Own().rename(from, to) : k4xplatform::Rename_Refused;
        Own().remove(to);
        return k4xplatform::Rename_TargetGone;
    };
}
void TargetGoneAndNoWrite()
{
    TargetGone<false>();
    Calls().open = [](const char* path, const char* mode) {
        return std::strcmp(mode, "w") == 0 ? k4xplatform::kNoFile : Own().open(path, mode);
    };
}

// A replacement that fails after the old file is gone: the new text is moved or written into place, and where neither
// can be done, the temporary file that holds it stays. The new text or the old is on disk, never neither.
TEST_F(ConfigFileTest, AReplacementThatFailsHalfWayKeepsTheNewText)
{
    const std::string text = StoredText(SampleText("pc == 0x100"));
    const std::tuple<const char*, void (*)(), const char*> rows[] = {
        {"moved into place", &TargetGone<true>, ""},
        {"written in place", &TargetGone<false>, ""},
        {"neither", &TargetGoneAndNoWrite, kFailedToWrite},
    };
    for (const auto& [label, fault, error] : rows) {
        SCOPED_TRACE(label);
        WriteBytes(Settings("cfg"), "Trace Mode = 1\n");
        fault();
        EXPECT_EQ(SaveAndCheck(), error);
        k4xplatform::ResetSystemCalls();
        EXPECT_EQ(SettingsFiles(), 2);  // "folder", and the file or the temporary one
        std::string kept;
        for (const auto& entry : fs::directory_iterator(profile.SettingsDirectory()))
            if (entry.is_regular_file()) kept = ReadBytes(entry.path().string());
        EXPECT_EQ(kept, text);
        fs::remove_all(profile.SettingsDirectory());
        fs::create_directories(Settings("folder"));
    }
}

// A save killed before its replacement leaves its temporary file behind; a later save in that folder removes the
// temporary files whose process has ended, and no other file.
TEST_F(ConfigFileTest, ASaveRemovesTheTemporaryFilesOfKilledSaves)
{
    // A death test's child on Windows runs the test anew: it finds the folder of the first run in the environment.
    std::string folder;
    if (!k4xplatform::GetEnvironment("K4X_KILLED_SAVE_FOLDER", folder)) {
        folder = profile.SettingsDirectory();
        profile.SetVariable("K4X_KILLED_SAVE_FOLDER", folder.c_str());
    }
    const std::string cfg = (fs::path(folder) / "cfg").string();
    EXPECT_EXIT(
        {
            Calls().rename = [](const char*, const char*) -> k4xplatform::RenameResult { std::_Exit(9); };
            k4xstore::WriteFileDurably(cfg, "killed");
        },
        ::testing::ExitedWithCode(9), "");
    EXPECT_EQ(SettingsFiles(), 2) << "\"folder\" and the killed save's temporary file";
    WriteBytes(Settings("~k4x1-1.txt"), "not of the library's naming");
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(SettingsFiles(), 3) << "\"folder\", the file and the other one";
}

// The temporary file is always a new one. Links planted at the names a save would use, to a victim and to a file
// that does not exist yet, make it take the next name: the victim keeps its bytes, no file appears at the other
// link's target, and the settings file is a plain file with the new text.
TEST_F(ConfigFileTest, APlantedLinkNeverTakesTheSave)
{
    const std::string victim = profile.Path("victim"), planted = profile.Path("planted");
    WriteBytes(victim, "victim");
    WriteBytes(Settings("cfg"), "old");
    const std::string ids =
        std::to_string(k4xplatform::CurrentProcessId()) + "-" + std::to_string(k4xplatform::CurrentThreadId());
    fs::create_hard_link(victim, Settings("~k4x" + ids + ".tmp"));
    std::error_code noLinks;  // Wine may make no symbolic links
    fs::create_symlink(planted, Settings("~k4x" + ids + "-1.tmp"), noLinks);
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(ReadBytes(victim), "victim");
    EXPECT_FALSE(fs::exists(planted));
    EXPECT_FALSE(fs::is_symlink(Settings("cfg")));
    const std::string saved = ReadBytes(Settings("cfg"));
    EXPECT_EQ(saved, StoredText(SampleText("pc == 0x100")));
    // With those names still taken a save goes through a new one, not in place: a failed write keeps the file.
    FailWrite<1>();
    EXPECT_EQ(SaveAndCheck(), kFailedToWrite);
    EXPECT_EQ(ReadBytes(Settings("cfg")), saved);
}

// Logging is read when the first manager is made.
class LoggedConfigFileTest : public ConfigFileTest {
    void SetUp() override
    {
        profile.SetVariable("ZR_TRACE_LOGGING", "1");
        ConfigFileTest::SetUp();
    }
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
// can: a reader that holds the old one open keeps it on POSIX; on Windows an open file is written instead. Only a link
// is resolved: a plain file is replaced as named.
TEST_F(ConfigFileTest, SaveKeepsTheTargetsKindAndPermissions)
{
    WriteBytes(Settings("cfg"), "old");
    EXPECT_EQ(k4xplatform::ReplaceableTarget(Settings("./cfg").c_str()), Settings("./cfg"));
    fs::permissions(Settings("cfg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(Settings("cfg")).permissions();
    std::FILE* other = std::fopen(Settings("cfg").c_str(), "r");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SaveAndCheck(), "");
    char held[4] = {};
    EXPECT_EQ(std::fread(held, 1, 3, other), 3u);
    EXPECT_EQ(std::string(held), kPosix ? "old" : "Tra");
    std::fclose(other);
    EXPECT_EQ(fs::status(Settings("cfg")).permissions(), before);
    EXPECT_EQ(SettingsFiles(), 2);
    // A second hard link would keep the old text after a replacement: such a file is written in place.
    WriteBytes(Settings("cfg"), "old");
    fs::create_hard_link(Settings("cfg"), profile.Path("second link"));
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(ReadBytes(profile.Path("second link")), ReadBytes(Settings("cfg")));
}

TEST_F(ConfigFileTest, SaveThroughALinkKeepsTheLink)
{
    WriteBytes(profile.Path("elsewhere"), "old");
    std::error_code error;
    fs::create_symlink(profile.Path("elsewhere"), Settings("cfg"), error);
    if (error) GTEST_SKIP() << "no symbolic link here: " << error.message();
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_TRUE(fs::is_symlink(Settings("cfg")));
}

// Giving a file away needs a POSIX host and root (group 0); CI runs as root. Owner and group each count alone.
TEST_F(ConfigFileTest, SaveKeepsTheOwner)
{
    const std::string quoted = "'" + Settings("cfg") + "'";
    for (const std::string owner : {"4321:0", "0:4322"}) {
        WriteBytes(Settings("cfg"), "old");
        if (!kPosix || std::system(("chown " + owner + " " + quoted).c_str()) != 0)
            GTEST_SKIP() << "cannot give a file away here (POSIX and root needed)";
        EXPECT_EQ(SaveAndCheck(), "");
        EXPECT_EQ(std::system(("test \"$(stat -c %u:%g " + quoted + ")\" = " + owner).c_str()), 0) << owner;
    }
}

// A file with a user's extended attribute, which a replacement would drop, is written in place.
TEST_F(ConfigFileTest, SaveKeepsExtendedAttributes)
{
    WriteBytes(Settings("cfg"), "old");
    const std::string python = "python3 -c \"import os, sys; os.", quoted = "'" + Settings("cfg") + "'";
    if (!kPosix || std::system((python + "setxattr(sys.argv[1], 'user.k4x', b'1')\" " + quoted).c_str()) != 0)
        GTEST_SKIP() << "no user extended attributes here (POSIX, python3 and a file system that keeps them)";
    EXPECT_EQ(SaveAndCheck(), "");
    EXPECT_EQ(std::system((python + "getxattr(sys.argv[1], 'user.k4x')\" " + quoted).c_str()), 0) << "kept";
}

}  // namespace
}  // namespace k4xtest
