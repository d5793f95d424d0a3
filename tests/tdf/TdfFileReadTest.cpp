// Finding and loading sections: extension rule, signature, search rules,
// limits and the failures of GetSectionSize and LoadSection.
#include "Bytes.h"
#include "ErrorOf.h"
#include "ScratchProfile.h"
#include "TdfFile.h"

#include <functional>

namespace {

using namespace k4xtest;

class TdfFileReadTest : public ::testing::Test {
protected:
    // Data length of ("AETCONFIG", version), or the error text.
    std::string SizeOf(const std::string& path, const char* name = "AETCONFIG", uint32_t version = 2)
    {
        uint32_t size = 0xDEADBEEF;
        const std::string error = ErrorOf([&] { tdf.GetSectionSize(path.c_str(), name, version, size); });
        if (error != "<no error>") {
            EXPECT_EQ(size, 0u) << "out value not zeroed";
            return error;
        }
        return std::to_string(size);
    }

    // Data of ("AETCONFIG", version) read into a buffer of bufferSize, or the error text.
    std::string Load(const std::string& path, uint32_t bufferSize = 64, const char* name = "AETCONFIG",
                     uint32_t version = 2)
    {
        std::vector<char> buffer(bufferSize + 1, '#');
        uint32_t got = 0xDEADBEEF;
        const std::string error =
            ErrorOf([&] { tdf.LoadSection(path.c_str(), name, version, buffer.data(), bufferSize, got); });
        if (error != "<no error>") {
            EXPECT_EQ(got, 0u) << "out value not zeroed";
            return error;
        }
        EXPECT_EQ(buffer[bufferSize], '#') << "read past the buffer";
        return std::string(buffer.data(), got);
    }

    ScratchProfile dir;
    TdfFile tdf;
};

TEST_F(TdfFileReadTest, ExtensionRuleAndSignatureProbe)
{
    const std::pair<const char*, Bytes> files[] = {
        {"cfg.TDF", TdfImage({})},   {".tdf", TdfImage({})},         {"a.TdF", TdfImage({})},
        {"cfg.tdfx", TdfImage({})},  {"cfgtdf", TdfImage({})},       {"tdf", TdfImage({})},
        {"cfg.tdf.bak", TdfImage({})}, {"short.tdf", {'T', 'D', 'F'}}, {"other.tdf", {'T', 'D', 'F', '1', 0, 0, 0, 0}},
    };
    for (const auto& [name, bytes] : files) WriteFile(dir.Path(name), bytes);
    for (const char* name : {"cfg.TDF", ".tdf", "a.TdF"}) EXPECT_TRUE(tdf.IsTdfFile(dir.Path(name).c_str())) << name;
    for (const char* name : {"cfg.tdfx", "cfgtdf", "tdf", "cfg.tdf.bak", "short.tdf", "other.tdf", "missing.tdf"})
        EXPECT_FALSE(tdf.IsTdfFile(dir.Path(name).c_str())) << name;
    EXPECT_FALSE(tdf.IsTdfFile(nullptr));
    EXPECT_FALSE(tdf.IsTdfFile(""));
}

// Each failure of the two readers, in the order they are checked.
TEST_F(TdfFileReadTest, FailureTable)
{
    WriteFile(dir.Path("short.tdf"), {'T', 'D', 'F'});
    WriteFile(dir.Path("other.tdf"), {'T', 'D', 'F', '1', 0, 0, 0, 0});
    WriteFile(dir.Path("empty.tdf"), TdfImage({}));
    WriteFile(dir.Path("cfg.bin"), TdfImage({Section("AETCONFIG", 2, "abc")}));
    const struct {
        std::string path;
        uint32_t bufferSize;
        const char* size;
        const char* load;
    } rows[] = {
        {dir.Path("short.tdf"), 64, "Invalid TDF format.", "Invalid TDF format."},
        {dir.Path("other.tdf"), 64, "Invalid TDF format.", "Invalid TDF format."},
        {dir.Path("empty.tdf"), 64, "Section size cannot be located in the file.",
         "AETCONFIG section cannot be located in the file."},
        // The size query takes any extension; the load does not.
        {dir.Path("cfg.bin"), 0, "3", "TDF file extension must be .tdf."},
        {dir.Path("missing.tdf"), 0, "File name passed to load file is not valid.",
         "File name passed to load is not valid."},
        {"", 0, "File name passed to load file is not valid.", "File name passed to load is not valid."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SizeOf(row.path), row.size) << row.path;
        EXPECT_EQ(Load(row.path, row.bufferSize), row.load) << row.path;
    }
    uint32_t out = 1;
    char buffer[4];
    EXPECT_EQ(ErrorOf([&] { tdf.GetSectionSize(nullptr, "AETCONFIG", 2, out); }),
              "File name passed to load file is not valid.");
    EXPECT_EQ(ErrorOf([&] { tdf.LoadSection(nullptr, "AETCONFIG", 2, buffer, sizeof buffer, out); }),
              "File name passed to load is not valid.");
}

TEST_F(TdfFileReadTest, SearchMatchesNameAndVersionExactlyAndFirstWins)
{
    const std::string path = dir.Path("cfg.tdf");
    WriteFile(path, TdfImage({
                        Section("aetconfig", 2, "lower"),
                        Section("AETCONFIG", 1, "v1"),
                        Section("AETCONFIGX", 2, "longer"),
                        Section("AETCONFIG", 2, "first"),
                        Section("AETCONFIG", 2, "second"),
                        Section("", 2, ""),
                    }));
    EXPECT_EQ(SizeOf(path), "5");
    EXPECT_EQ(Load(path), "first");
    EXPECT_EQ(Load(path, 64, "AETCONFIG", 1), "v1");
    EXPECT_EQ(Load(path, 64, "aetconfig", 2), "lower");
    EXPECT_EQ(SizeOf(path, "", 2), "0");
    EXPECT_EQ(SizeOf(path, "AETCONFIG", 3), "Section size cannot be located in the file.");
    EXPECT_EQ(Load(path, 64, "AETCONFI", 2), "AETCONFI section cannot be located in the file.");
    EXPECT_EQ(SizeOf(path, nullptr, 2), "Section size cannot be located in the file.");
}

TEST_F(TdfFileReadTest, NameAndSectionLengthLimits)
{
    const std::string path = dir.Path("limits.tdf");
    const std::string name259(259, 'n');
    WriteFile(path, TdfImage({Section(name259, 2, "data")}));
    EXPECT_EQ(SizeOf(path, name259.c_str()), "4");

    // A name length of 260 ends the search before the name is read, even
    // though the section behind it is sound.
    Bytes tooLong = Section(std::string(260, 'n'), 2, "");
    WriteFile(path, TdfImage({tooLong, Section("AETCONFIG", 2, "x")}));
    EXPECT_EQ(SizeOf(path, std::string(260, 'n').c_str()), "Section size cannot be located in the file.");
    EXPECT_EQ(SizeOf(path), "Section size cannot be located in the file.");

    // The largest length is accepted even though the file is far shorter:
    // the load gives what is there.
    Bytes largest = {
        0x00, 0x00, 0x00, 0x08,                           // section length 0x8000000
        0x02, 0x00, 0x00, 0x00,                           // version 2
        0x09, 0x00, 0x00, 0x00,                           // name length 9
        'A',  'E',  'T',  'C',  'O', 'N', 'F', 'I', 'G',  // name
        'a',  'b',  'c',                                  // data, mostly missing
    };
    WriteFile(path, TdfImage({largest}));
    EXPECT_EQ(SizeOf(path), std::to_string(0x8000000 - 12 - 9));
    EXPECT_EQ(Load(path), "abc");

    largest[0] = 0x01;  // 0x8000001
    WriteFile(path, TdfImage({largest}));
    EXPECT_EQ(SizeOf(path), "Section size cannot be located in the file.");
}

// One sound file, then one corruption of it at a time; every one of them
// must end the search for the second section, quickly and without a match.
TEST_F(TdfFileReadTest, CorruptHeadersEndTheSearchWithoutAMatch)
{
    const Bytes sound = {
        'T',  'D',  'F',  '2',                            // 0: signature
        0x15, 0x00, 0x00, 0x00,                           // 4: section length 21
        0x01, 0x00, 0x00, 0x00,                           // 8: version 1
        0x05, 0x00, 0x00, 0x00,                           // 12: name length 5
        'F',  'I',  'R',  'S',  'T',                      // 16: name
        'd',  'a',  't',  'a',                            // 21: data
        0x18, 0x00, 0x00, 0x00,                           // 25: section length 24
        0x02, 0x00, 0x00, 0x00,                           // 29: version 2
        0x09, 0x00, 0x00, 0x00,                           // 33: name length 9
        'A',  'E',  'T',  'C',  'O', 'N', 'F', 'I', 'G',  // 37: name
        'x',  'y',  'z',                                  // 46: data, to 49
    };
    const std::string path = dir.Path("corrupt.tdf");
    WriteFile(path, sound);
    ASSERT_EQ(Load(path), "xyz");

    using Mutation = std::function<void(Bytes&)>;
    const auto setU32 = [](size_t at, uint32_t value) { return Mutation([=](Bytes& b) { SetU32(b, at, value); }); };
    const auto cut = [](size_t size) { return Mutation([=](Bytes& b) { b.resize(size); }); };
    const std::pair<const char*, Mutation> cases[] = {
        {"first length 0", setU32(4, 0)},
        {"first length 1", setU32(4, 1)},
        {"first length 11", setU32(4, 11)},
        {"first length 12, below 12 + N", setU32(4, 12)},
        {"first length 16, one below 12 + N", setU32(4, 16)},
        {"first length 0x8000001", setU32(4, 0x8000001)},
        {"first length 0xFFFFFFFF", setU32(4, 0xFFFFFFFF)},
        {"first length lands inside the second header", setU32(4, 23)},
        {"first name length 260", setU32(12, 260)},
        {"first name length 0xFFFFFFFF", setU32(12, 0xFFFFFFFF)},
        {"second length 0", setU32(25, 0)},
        {"second length 20, below 12 + N", setU32(25, 20)},
        {"second name length 260", setU32(33, 260)},
        {"cut inside the first length", cut(6)},
        {"cut inside the first version", cut(10)},
        {"cut inside the first name length", cut(14)},
        {"cut inside the first name", cut(18)},
        {"cut inside the second length", cut(27)},
        {"cut inside the second name", cut(45)},
    };
    for (const auto& [what, mutate] : cases) {
        Bytes bytes = sound;
        mutate(bytes);
        WriteFile(path, bytes);
        EXPECT_EQ(SizeOf(path), "Section size cannot be located in the file.") << what;
        EXPECT_EQ(Load(path), "AETCONFIG section cannot be located in the file.") << what;
    }

    // Cut inside the data: the section is still found, with less data.
    WriteFile(path, Bytes(sound.begin(), sound.end() - 2));
    EXPECT_EQ(SizeOf(path), "3");
    EXPECT_EQ(Load(path), "x");
}

TEST_F(TdfFileReadTest, LoadFillsWhatTheBufferHolds)
{
    const std::string path = dir.Path("cfg.tdf");
    WriteFile(path, TdfImage({Section("AETCONFIG", 2, "0123456789"), Section("EMPTY", 1, "")}));
    EXPECT_EQ(Load(path, 4), "0123");
    EXPECT_EQ(Load(path, 10), "0123456789");
    EXPECT_EQ(Load(path, 11), "0123456789");
    EXPECT_EQ(Load(path, 64, "EMPTY", 1), "");
    EXPECT_EQ(Load(path, 0), "No buffer allocated to load section data.");
    EXPECT_EQ(Load(path, 0, "EMPTY", 1), "No buffer allocated to load section data.");
    uint32_t got = 7;
    EXPECT_EQ(ErrorOf([&] { tdf.LoadSection(path.c_str(), "AETCONFIG", 2, nullptr, 10, got); }),
              "No buffer allocated to load section data.");
    EXPECT_EQ(got, 0u);
}

}  // namespace
