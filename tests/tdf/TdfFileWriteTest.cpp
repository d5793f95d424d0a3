// Appending sections and writing their data: exact bytes, concatenation,
// argument checks and the failures of AppendSectionHeader and SaveSectionData.
#include "Bytes.h"
#include "ErrorOf.h"
#include "ScratchProfile.h"
#include "TdfFile.h"
#include "uSystemCalls.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

using namespace k4xtest;

// The write, counted from 1, that falls short; 0 for none.
int g_failingWrite = 0;
int g_writes = 0;

std::size_t FailOneWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    return ++g_writes == g_failingWrite ? 0 : std::fwrite(data, size, count, file);
}

// Refuses to open for update, whoever runs the test.
std::FILE* RefuseUpdate(const char* path, const char* mode)
{
    return std::strcmp(mode, "r+b") == 0 ? nullptr : std::fopen(path, mode);
}

class TdfFileWriteTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(path, TdfImage({})); }
    void TearDown() override { ZR_KDT::ResetSystemCalls(); }

    std::string Append(const char* name, uint32_t version, uint32_t& offset)
    {
        offset = 0xDEADBEEF;
        return ErrorOf([&] { tdf.AppendSectionHeader(path.c_str(), name, version, offset); });
    }

    std::string Save(uint32_t offset, const void* data, uint32_t elementSize, uint32_t count, uint32_t& length)
    {
        length = 0xDEADBEEF;
        return ErrorOf([&] { tdf.SaveSectionData(path.c_str(), offset, data, elementSize, count, length); });
    }

    std::string LoadAll(const char* name, uint32_t version)
    {
        char buffer[64];
        uint32_t got = 0;
        tdf.LoadSection(path.c_str(), name, version, buffer, sizeof buffer, got);
        return std::string(buffer, got);
    }

    ScratchProfile dir;
    std::string path = dir.Path("cfg.tdf");
    TdfFile tdf;
};

TEST_F(TdfFileWriteTest, AppendAndSaveWriteTheExactBytes)
{
    uint32_t offset = 0;
    ASSERT_EQ(Append("AETCONFIG", 2, offset), "<no error>");
    EXPECT_EQ(offset, 4u);
    const Bytes header = {
        'T',  'D',  'F',  '2',                            // signature, untouched
        0x15, 0x00, 0x00, 0x00,                           // section length 21 = 12 + 9
        0x02, 0x00, 0x00, 0x00,                           // version 2
        0x09, 0x00, 0x00, 0x00,                           // name length 9
        'A',  'E',  'T',  'C',  'O', 'N', 'F', 'I', 'G',  // name, no terminator
    };
    EXPECT_EQ(ReadFile(path), header);

    uint32_t length = 0;
    ASSERT_EQ(Save(4, "0123456789", 1, 10, length), "<no error>");
    EXPECT_EQ(length, 31u);
    Bytes expected = header;
    SetU32(expected, 4, 31);          // section length 31 = 21 + 10
    PutText(expected, "0123456789");  // data from offset 25
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_TRUE(tdf.IsTdfFile(path.c_str()));
    EXPECT_EQ(LoadAll("AETCONFIG", 2), "0123456789");

    // A null name gives a header-only section.
    ASSERT_EQ(Append(nullptr, 7, offset), "<no error>");
    EXPECT_EQ(offset, 4u + 31);
    const Bytes nameless = {0x0C, 0, 0, 0, 0x07, 0, 0, 0, 0, 0, 0, 0};  // length 12, version 7, name length 0
    expected.insert(expected.end(), nameless.begin(), nameless.end());
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(LoadAll("", 7), "");
}

TEST_F(TdfFileWriteTest, SavesConcatenateAndTheFirstSectionWins)
{
    uint32_t first = 0;
    uint32_t length = 0;
    ASSERT_EQ(Append("AETCONFIG", 2, first), "<no error>");
    ASSERT_EQ(Save(first, "abc", 1, 3, length), "<no error>");
    const uint16_t pairs[] = {0x6564, 0x6766};  // "defg" on little-endian hosts, written as 2 elements of 2 bytes
    ASSERT_EQ(Save(first, pairs, 2, 2, length), "<no error>");
    EXPECT_EQ(length, 12u + 9 + 7);
    ASSERT_EQ(Save(first, "", 1, 0, length), "<no error>");  // nothing to add
    EXPECT_EQ(length, 12u + 9 + 7);

    uint32_t second = 0;
    ASSERT_EQ(Append("AETCONFIG", 2, second), "<no error>");
    EXPECT_EQ(second, 4u + 28);
    ASSERT_EQ(Save(second, "later", 1, 5, length), "<no error>");
    EXPECT_EQ(LoadAll("AETCONFIG", 2), "abcdefg");
    EXPECT_EQ(ReadFile(path).size(), 4u + 28 + 26);
}

TEST_F(TdfFileWriteTest, ArgumentsAreCheckedInOrder)
{
    uint32_t out = 0;
    const std::string missing = dir.Path("missing.tdf");
    for (const char* bad : {missing.c_str(), "", static_cast<const char*>(nullptr)}) {
        out = 1;
        EXPECT_EQ(ErrorOf([&] { tdf.AppendSectionHeader(bad, "AETCONFIG", 2, out); }),
                  "File name passed to save file is not valid.");
        EXPECT_EQ(out, 0u);
        EXPECT_EQ(ErrorOf([&] { tdf.SaveSectionData(bad, 3, nullptr, 1, 1, out); }),
                  "File name passed to save file is not valid.");
    }
    ASSERT_EQ(Append("AETCONFIG", 2, out), "<no error>");
    const Bytes before = ReadFile(path);
    for (uint32_t offset : {0u, 3u}) {
        EXPECT_EQ(Save(offset, "x", 1, 1, out), "Section header offset to save data is not valid.");
        EXPECT_EQ(Save(offset, nullptr, 1, 1, out), "Section header offset to save data is not valid.");
        EXPECT_EQ(out, 0u);
    }
    EXPECT_EQ(Save(4, nullptr, 1, 1, out), "No data to write TDF.");
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(Save(4, "x", 1, 1, out), "<no error>");
}

// The header at the given offset is trusted to be the last section, but a
// length that cannot be one is refused before anything is written.
TEST_F(TdfFileWriteTest, SaveRefusesLengthsThatCannotBeASection)
{
    uint32_t out = 0;
    EXPECT_EQ(Save(4, "x", 1, 1, out), "Write I/O error - unable to determine section length.");  // no header
    EXPECT_EQ(Save(100, "x", 1, 1, out), "Write I/O error - unable to determine section length.");

    for (uint32_t length : {0u, 11u, 0x8000001u, 0xFFFFFFFFu}) {
        Bytes image = TdfImage({Section("AETCONFIG", 2, "")});
        SetU32(image, 4, length);
        WriteFile(path, image);
        EXPECT_EQ(Save(4, "x", 1, 1, out), "Write I/O error - unable to determine section length.") << length;
        EXPECT_EQ(ReadFile(path), image) << length;
    }

    // Growing past the reader's limit would make the section unreadable.
    Bytes image = TdfImage({Section("AETCONFIG", 2, "")});
    SetU32(image, 4, 0x8000000 - 2);
    WriteFile(path, image);
    EXPECT_EQ(Save(4, "xyz", 1, 3, out), "Write I/O error - unable to write section data.");
    EXPECT_EQ(Save(4, "xyz", 0x10000, 0x10000, out), "Write I/O error - unable to write section data.");
    EXPECT_EQ(ReadFile(path), image);
    // Elements of size 0 never add up to the count asked for.
    EXPECT_EQ(Save(4, "xyz", 0, 3, out), "Write I/O error - unable to write section data.");
}

// A folder opens for reading on some systems but never for update.
TEST_F(TdfFileWriteTest, FolderIsNeverWritten)
{
    const std::string folder = dir.Path("folder.tdf");
    std::filesystem::create_directory(folder);
    const auto refused =
        ::testing::AnyOf("File name passed to save file is not valid.", "Could not open TDF file as specified.");
    uint32_t out = 0;
    EXPECT_THAT(ErrorOf([&] { tdf.AppendSectionHeader(folder.c_str(), "AETCONFIG", 2, out); }), refused);
    EXPECT_THAT(ErrorOf([&] { tdf.SaveSectionData(folder.c_str(), 4, "x", 1, 1, out); }), refused);
    EXPECT_FALSE(tdf.IsTdfFile(folder.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// Writes: 1 length placeholder, 2 version, 3 name length, 4 name, 5 length
// of the header; then 6 the data and 7 the new length.
TEST_F(TdfFileWriteTest, ShortWritesGiveTheirErrors)
{
    const struct {
        int failingWrite;
        const char* append;
        const char* save;
    } rows[] = {
        {1, "Write error -  TDF section header size.", "<not run>"},
        {2, "Write error -  TDF section name and version.", "<not run>"},
        {3, "Write error -  TDF section name and version.", "<not run>"},
        {4, "Write error -  TDF section name and version.", "<not run>"},
        {5, "Write error - size of TDF header.", "<not run>"},
        {6, "<no error>", "Write I/O error - unable to write section data."},
        {7, "<no error>", "Write error - size of TDF header."},
    };
    ZR_KDT::SystemCalls().writeFile = &FailOneWrite;
    for (const auto& row : rows) {
        WriteFile(path, TdfImage({}));
        g_writes = 0;
        g_failingWrite = row.failingWrite;
        uint32_t offset = 0, length = 0;
        const std::string appended = Append("AETCONFIG", 2, offset);
        EXPECT_EQ(appended, row.append) << row.failingWrite;
        const std::string saved = appended == "<no error>" ? Save(offset, "abc", 1, 3, length) : "<not run>";
        EXPECT_EQ(saved, row.save) << row.failingWrite;
    }
}

TEST_F(TdfFileWriteTest, FileThatCannotBeOpenedForUpdateIsLeftAlone)
{
    uint32_t out = 0;
    ASSERT_EQ(Append("AETCONFIG", 2, out), "<no error>");
    const Bytes before = ReadFile(path);
    ZR_KDT::SystemCalls().openFile = &RefuseUpdate;
    EXPECT_EQ(Append("AETCONFIG", 2, out), "Could not open TDF file as specified.");
    EXPECT_EQ(Save(4, "x", 1, 1, out), "Could not open TDF file as specified.");
    EXPECT_EQ(ReadFile(path), before);
}

}  // namespace
