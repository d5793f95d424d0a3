// TDF containers through TdfFile: the extension and signature probe, the
// search and its limits, the exact bytes of appended sections, and the
// error text of every failure, file-system faults included.
#include "Bytes.h"
#include "ErrorOf.h"
#include "ScratchProfile.h"
#include "TdfFile.h"
#include "cVexaError.h"
#include "uSystemCalls.h"

#include <cstring>
#include <filesystem>
#include <gmock/gmock.h>
#include <memory>

namespace {

using namespace k4xtest;

const char kNotFound[] = "Section size cannot be located in the file.";
const char kAetNotFound[] = "AETCONFIG section cannot be located in the file.";
const char kNoLength[] = "Write I/O error - unable to determine section length.";
const char kNoData[] = "Write I/O error - unable to write section data.";
const char kNotValid[] = "File name passed to save file is not valid.";
const char kCannotOpen[] = "Could not open TDF file as specified.";

class TdfFileTest : public ::testing::Test {
protected:
    void TearDown() override { ZR_KDT::ResetSystemCalls(); }

    // Data length of the section, or the error text; out values are zeroed on errors.
    std::string SizeOf(const std::string& file, const char* name = "AETCONFIG", uint32_t version = 2)
    {
        uint32_t size = 0xDEADBEEF;
        const std::string error = ErrorOf([&] { tdf.GetSectionSize(file.c_str(), name, version, size); });
        EXPECT_EQ(size, error == "<no error>" ? size : 0u) << error;
        return error == "<no error>" ? std::to_string(size) : error;
    }
    // Data read into a buffer of bufferSize, or the error text.
    std::string Load(const std::string& file, uint32_t bufferSize = 64, const char* name = "AETCONFIG",
                     uint32_t version = 2)
    {
        std::vector<char> buffer(bufferSize + 1, '#');
        uint32_t got = 0xDEADBEEF;
        const std::string error =
            ErrorOf([&] { tdf.LoadSection(file.c_str(), name, version, buffer.data(), bufferSize, got); });
        EXPECT_EQ(buffer[bufferSize], '#') << "read past the buffer";
        EXPECT_EQ(got, error == "<no error>" ? got : 0u) << error;
        return error == "<no error>" ? std::string(buffer.data(), got) : error;
    }
    // Into the file (null: path), or the error text.
    std::string Append(const char* name, uint32_t version, uint32_t& offset, const char* file = nullptr)
    {
        offset = 0xDEADBEEF;
        return ErrorOf([&] { tdf.AppendSectionHeader(file ? file : path.c_str(), name, version, offset); });
    }
    std::string Save(uint32_t offset, const void* data, uint32_t elementSize, uint32_t count, uint32_t& length,
                     const char* file = nullptr)
    {
        length = 0xDEADBEEF;
        return ErrorOf([&] { tdf.SaveSectionData(file ? file : path.c_str(), offset, data, elementSize, count, length); });
    }

    ScratchProfile dir;
    std::string path = dir.Path("cfg.tdf");
    TdfFile tdf;
};

TEST_F(TdfFileTest, ProbeTakesDotTdfInAnyCaseWithTheSignature)
{
    const std::pair<const char*, bool> rows[] = {
        {"cfg.TDF", true},     {".tdf", true},         {"a.TdF", true},    {"cfg.tdfx", false}, {"cfgtdf", false},
        {"tdf", false},        {"cfg.tdf.bak", false}, {"ctdf", false},
    };
    for (const auto& [name, expected] : rows) {
        WriteFile(dir.Path(name), TdfImage({}));
        EXPECT_EQ(tdf.IsTdfFile(dir.Path(name).c_str()), expected) << name;
    }
    WriteBytes(dir.Path("short.tdf"), "TDF");
    WriteBytes(dir.Path("other.tdf"), "TDF1abcd");
    for (const char* name : {"short.tdf", "other.tdf", "missing.tdf"})
        EXPECT_FALSE(tdf.IsTdfFile(dir.Path(name).c_str())) << name;
    EXPECT_FALSE(tdf.IsTdfFile(nullptr));
    EXPECT_FALSE(tdf.IsTdfFile(""));
}

// Each failure of the two readers, in the order they are checked.
TEST_F(TdfFileTest, ReadFailureTable)
{
    WriteBytes(dir.Path("short.tdf"), "TDF");
    WriteBytes(dir.Path("other.tdf"), "TDF1abcd");
    WriteFile(path, TdfImage({Section("AETCONFIG", 2, "abc")}));
    WriteFile(dir.Path("cfg.bin"), TdfImage({Section("AETCONFIG", 2, "abc")}));
    const struct {
        std::string file;
        const char* name;
        uint32_t bufferSize;
        const char* size;
        const char* load;
    } rows[] = {
        {dir.Path("short.tdf"), "AETCONFIG", 64, "Invalid TDF format.", "Invalid TDF format."},
        {dir.Path("other.tdf"), "AETCONFIG", 64, "Invalid TDF format.", "Invalid TDF format."},
        {path, "AETCONFI", 64, kNotFound, "AETCONFI section cannot be located in the file."},
        {path, nullptr, 64, kNotFound, " section cannot be located in the file."},
        {path, "AETCONFIG", 0, "3", "No buffer allocated to load section data."},
        // The size query takes any extension; the load does not.
        {dir.Path("cfg.bin"), "AETCONFIG", 64, "3", "TDF file extension must be .tdf."},
        {dir.Path("missing.tdf"), "AETCONFIG", 0, "File name passed to load file is not valid.",
         "File name passed to load is not valid."},
        {"", "AETCONFIG", 0, "File name passed to load file is not valid.", "File name passed to load is not valid."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SizeOf(row.file, row.name), row.size) << row.file;
        EXPECT_EQ(Load(row.file, row.bufferSize, row.name), row.load) << row.file;
    }
    uint32_t out = 1;
    EXPECT_EQ(ErrorOf([&] { tdf.LoadSection(path.c_str(), "AETCONFIG", 2, nullptr, 10, out); }),
              "No buffer allocated to load section data.");
    EXPECT_EQ(ErrorOf([&] { tdf.GetSectionSize(nullptr, "AETCONFIG", 2, out); }),
              "File name passed to load file is not valid.");
}

// Name and version match exactly, the first match wins, and the buffer
// takes what it holds.
TEST_F(TdfFileTest, SearchRules)
{
    WriteFile(path, TdfImage({Section("aetconfig", 2, "lower"), Section("AETCONFIG", 1, "v1"),
                              Section("AETCONFIGX", 2, "longer"), Section("AETCONFIG", 2, "first"),
                              Section("AETCONFIG", 2, "second"), Section("", 2, "")}));
    EXPECT_EQ(SizeOf(path), "5");
    EXPECT_EQ(Load(path), "first");
    EXPECT_EQ(Load(path, 4), "firs");
    EXPECT_EQ(Load(path, 64, "AETCONFIG", 1), "v1");
    EXPECT_EQ(Load(path, 64, "aetconfig", 2), "lower");
    EXPECT_EQ(SizeOf(path, "", 2), "0");
    EXPECT_EQ(Load(path, 64, "", 2), "");
    EXPECT_EQ(SizeOf(path, "AETCONFIG", 3), kNotFound);
}

// One sound file, then one change of it at a time.
TEST_F(TdfFileTest, HeaderLimitsAndCorruptionTable)
{
    const Bytes sound = TdfImage({Section("FIRST", 1, "data"), Section("AETCONFIG", 2, "xyz")});  // 2nd at 25
    const Bytes n259 = TdfImage({Section(std::string(259, 'n'), 1, ""), Section("AETCONFIG", 2, "xyz")});
    const struct {
        const char* what;
        Bytes base;
        std::size_t at;  // where the field goes; 0: none
        uint32_t field;
        std::size_t cut;  // the size cut to; 0: none
        const char* size;
    } rows[] = {
        {"sound", sound, 0, 0, 0, "3"},
        {"name of 259", n259, 0, 0, 0, "3"},
        {"name length 260", n259, 12, 260, 0, kNotFound},
        {"largest length, file far shorter", sound, 25, 0x8000000, 0, "134217707"},
        {"length 0x8000001", sound, 25, 0x8000001, 0, kNotFound},
        {"first length 0", sound, 4, 0, 0, kNotFound},
        {"first length 11", sound, 4, 11, 0, kNotFound},
        {"first length 16, one below 12 + N", sound, 4, 16, 0, kNotFound},
        {"first length 0xFFFFFFFF", sound, 4, 0xFFFFFFFF, 0, kNotFound},
        {"first length lands inside the second header", sound, 4, 23, 0, kNotFound},
        {"first name length 0xFFFFFFFF", sound, 12, 0xFFFFFFFF, 0, kNotFound},
        {"second length 20, below 12 + N", sound, 25, 20, 0, kNotFound},
        {"second name length 260", sound, 33, 260, 0, kNotFound},
        {"cut inside the first length", sound, 0, 0, 6, kNotFound},
        {"cut inside the first name length", sound, 0, 0, 14, kNotFound},
        {"cut inside the first name", sound, 0, 0, 18, kNotFound},
        {"cut inside the second length", sound, 0, 0, 27, kNotFound},
        {"cut inside the second name", sound, 0, 0, 45, kNotFound},
        {"cut inside the data", sound, 0, 0, 47, "3"},
    };
    for (const auto& row : rows) {
        Bytes bytes = row.base;
        if (row.at != 0) SetU32(bytes, row.at, row.field);
        if (row.cut != 0) bytes.resize(row.cut);
        WriteFile(path, bytes);
        EXPECT_EQ(SizeOf(path), row.size) << row.what;
        // A section that claims more data than the file holds gives what is there.
        const bool found = std::string(row.size) != kNotFound;
        EXPECT_EQ(Load(path), found ? std::string("xyz").substr(0, row.cut == 0 ? 3 : 1) : kAetNotFound) << row.what;
    }
}

TEST_F(TdfFileTest, AppendAndSaveWriteTheExactBytes)
{
    WriteBytes(path, "TDF2");
    uint32_t offset = 0, length = 0;
    ASSERT_EQ(Append("AETCONFIG", 2, offset), "<no error>");
    EXPECT_EQ(offset, 4u);
    // Length 12 + 9, version 2, name length 9, the name without a NUL.
    const std::string header = "TDF2" + std::string("\x15\0\0\0\x02\0\0\0\x09\0\0\0", 12) + "AETCONFIG";
    EXPECT_EQ(ReadBytes(path), header);
    ASSERT_EQ(Save(4, "0123", 1, 4, length), "<no error>");
    const uint16_t pairs[] = {0x3534, 0x3736};  // "4567" on little-endian hosts, as 2 elements of 2 bytes
    ASSERT_EQ(Save(4, pairs, 2, 2, length), "<no error>");
    ASSERT_EQ(Save(4, "", 1, 0, length), "<no error>");
    EXPECT_EQ(length, 29u);
    std::string expected = header + "01234567";
    expected[4] = 29;
    EXPECT_EQ(ReadBytes(path), expected);
    // A null name gives a header-only section; every byte of a field counts.
    ASSERT_EQ(Append(nullptr, 0x87654321, offset), "<no error>");
    EXPECT_EQ(offset, 33u);
    expected += std::string("\x0C\0\0\0\x21\x43\x65\x87\0\0\0\0", 12);
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(Load(path, 64, "", 0x87654321), "");
    EXPECT_EQ(Load(path), "01234567");
}

// Every argument check of the writers, each before anything is written.
TEST_F(TdfFileTest, WriteArgumentTable)
{
    const std::string folder = dir.Path("folder.tdf");
    std::filesystem::create_directory(folder);
    const std::string missing = dir.Path("missing.tdf");
    const struct {
        std::string file;
        uint32_t length;  // of the section at 4; 0: none
        uint32_t offset;
        const char* data;
        uint32_t elementSize, count;
        const char* append;
        const char* save;
    } rows[] = {
        {missing, 0, 4, "x", 1, 1, kNotValid, kNotValid},
        {"", 0, 4, "x", 1, 1, kNotValid, kNotValid},
        {path, 21, 0, "x", 1, 1, "<no error>", "Section header offset to save data is not valid."},
        {path, 21, 3, nullptr, 1, 1, "<no error>", "Section header offset to save data is not valid."},
        {path, 21, 4, nullptr, 1, 1, "<no error>", "No data to write TDF."},
        {path, 0, 4, "x", 1, 1, "<no error>", kNoLength},
        {path, 21, 100, "x", 1, 1, "<no error>", kNoLength},
        {path, 11, 4, "x", 1, 1, "<no error>", kNoLength},
        {path, 0x8000001, 4, "x", 1, 1, "<no error>", kNoLength},
        {path, 0xFFFFFFFF, 4, "x", 1, 1, "<no error>", kNoLength},
        // Growing past the reader's limit would make the section unreadable.
        {path, 0x8000000 - 2, 4, "xyz", 1, 3, "<no error>", kNoData},
        {path, 0x8000000 - 2, 4, "xyz", 0x10000, 0x10000, "<no error>", kNoData},
        {path, 21, 4, "xyz", 0, 3, "<no error>", kNoData},
    };
    for (const auto& row : rows) {
        Bytes image = TdfImage({Section("AETCONFIG", 2, "")});
        if (row.length == 0) image.resize(4);
        else SetU32(image, 4, row.length);
        WriteFile(path, image);
        uint32_t out = 0;
        EXPECT_EQ(Save(row.offset, row.data, row.elementSize, row.count, out, row.file.c_str()), row.save) << row.length;
        EXPECT_EQ(out, 0u);
        EXPECT_EQ(ReadFile(path), image) << row.length;
        EXPECT_EQ(Append("AETCONFIG", 2, out, row.file.c_str()), row.append);
    }
    // A folder opens for reading on some systems but never for update.
    const auto refused = ::testing::AnyOf(kNotValid, kCannotOpen);
    uint32_t out = 0;
    EXPECT_THAT(Append("AETCONFIG", 2, out, folder.c_str()), refused);
    EXPECT_THAT(Save(4, "x", 1, 1, out, folder.c_str()), refused);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(tdf.IsTdfFile(folder.c_str()));
}

// The write, counted from 1, that falls short; 0 for none.
int g_failingWrite = 0;
int g_writes = 0;

std::size_t FailOneWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    return ++g_writes == g_failingWrite ? 0 : std::fwrite(data, size, count, file);
}
// A write whose failure only the stream's error flag tells.
std::size_t WriteIgnoringErrors(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    std::fwrite(data, size, count, file);
    return count;
}
std::FILE* RefuseUpdate(const char* path, const char* mode)
{
    return std::strcmp(mode, "r+b") == 0 ? nullptr : std::fopen(path, mode);
}
std::FILE* ReadOnlyUpdate(const char* path, const char* mode)
{
    return std::fopen(path, std::strcmp(mode, "r+b") == 0 ? "rb" : mode);
}
// A binary read stream whose error flag is set, as after a failed read.
std::FILE* FlaggedRead(const char* path, const char* mode)
{
    std::FILE* stream = std::fopen(path, mode);
    if (stream != nullptr && std::strcmp(mode, "rb") == 0) std::fputc(0, stream);
    return stream;
}

// Each operation on a file holding one empty AETCONFIG section at 4, with
// file-system faults. Append writes: 1 length placeholder, 2 version, 3 name
// length, 4 name, 5 length; save writes: 1 data, 2 new length.
TEST_F(TdfFileTest, FileSystemFaultTable)
{
    using Open = std::FILE* (*)(const char*, const char*);
    using Write = std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*);
    const struct {
        char operation;  // 'a'ppend, 's'ave, 'l'oad
        Open open;
        Write write;
        int failingWrite;
        const char* error;
    } rows[] = {
        {'a', nullptr, &FailOneWrite, 1, "Write error -  TDF section header size."},
        {'a', nullptr, &FailOneWrite, 2, "Write error -  TDF section name and version."},
        {'a', nullptr, &FailOneWrite, 3, "Write error -  TDF section name and version."},
        {'a', nullptr, &FailOneWrite, 4, "Write error -  TDF section name and version."},
        {'a', nullptr, &FailOneWrite, 5, "Write error - size of TDF header."},
        {'s', nullptr, &FailOneWrite, 1, kNoData},
        {'s', nullptr, &FailOneWrite, 2, "Write error - size of TDF header."},
        {'a', &RefuseUpdate, nullptr, 0, kCannotOpen},
        {'s', &RefuseUpdate, nullptr, 0, kCannotOpen},
        {'s', &ReadOnlyUpdate, &WriteIgnoringErrors, 0, "Write error - section data corrupted."},
        {'l', &FlaggedRead, nullptr, 0, "Read I/O error - section data corrupted."},
    };
    for (const auto& row : rows) {
        WriteFile(path, TdfImage({Section("AETCONFIG", 2, "")}));
        g_writes = 0;
        g_failingWrite = row.failingWrite;
        if (row.open != nullptr) ZR_KDT::SystemCalls().openFile = row.open;
        if (row.write != nullptr) ZR_KDT::SystemCalls().writeFile = row.write;
        uint32_t out = 0;
        const std::string error = row.operation == 'a'   ? Append("AETCONFIG", 2, out)
                                  : row.operation == 's' ? Save(4, "abc", 1, 3, out)
                                                         : Load(path);
        EXPECT_EQ(error, row.error) << row.operation << row.failingWrite;
        ZR_KDT::ResetSystemCalls();
    }
}

// The TDF code throws by value from this module; the class lives in the
// tools library, and copies own their message.
TEST_F(TdfFileTest, ErrorsAreCaughtAsTheConcreteTypeAndCopiesOwnTheText)
{
    uint32_t out = 0;
    try {
        tdf.AppendSectionHeader(nullptr, "AETCONFIG", 2, out);
        FAIL() << "no error thrown";
    } catch (Zr::Kdt::Vexa::cVexaError& error) {
        auto copy = std::make_unique<Zr::Kdt::Vexa::cVexaError>(error);
        Zr::Kdt::Vexa::cVexaError assigned("other", Zr::Kdt::Vexa::cVexaErrorIF::Severity_Info);
        assigned = *copy;
        copy.reset();
        EXPECT_STREQ(assigned.GetMessageText(), kNotValid);
        EXPECT_EQ(assigned.GetSeverity(), Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error);
    }
    EXPECT_STREQ(Zr::Kdt::Vexa::cVexaError(nullptr, Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error).GetMessageText(), "");
}

}  // namespace
