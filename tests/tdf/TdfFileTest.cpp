// TDF containers through TdfFile: the extension and signature probe, the search and its limits, the exact bytes of
// appended sections, and the error text of every failure, file-system faults included.
#include "Bytes.h"
#include "ErrorOf.h"
#include "ScratchProfile.h"
#include "TdfFile.h"
#include "TdfFormat.h"
#include "TdfSectionWalker.h"

#include <gmock/gmock.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

using namespace k4xtest;

const char kNotFound[] = "Section size cannot be located in the file.";
const char kNoLength[] = "Write I/O error - unable to determine section length.";
const char kNoData[] = "Write I/O error - unable to write section data.";
const char kNotValid[] = "File name passed to save file is not valid.";
const char kCannotOpen[] = "Could not open TDF file as specified.";

class TdfFileTest : public ::testing::Test {
protected:
    void TearDown() override { ZR_KDT::platform::ResetSystemCalls(); }

    // Each call's out value (size, data read, offset, new length), or its error text, marked if not zeroed first.
    template <typename Call>
    std::string Result(uint32_t& out, Call call, const std::string* data = nullptr)
    {
        out = 0xDEADBEEF;
        const std::string error = ErrorOf(call);
        if (error != "<no error>") return out != 0xDEADBEEF ? error : error + " (not zeroed)";
        return data != nullptr ? data->substr(0, out) : std::to_string(out);
    }
    std::string SizeOf(const char* file, const char* name = "AETCONFIG", uint32_t version = 2)
    {
        return Result(size, [&] { tdf.GetSectionSize(file, name, version, size); });
    }
    // The data, read into a buffer of bufferSize that must not overflow.
    std::string Load(const char* file, uint32_t bufferSize = 64, const char* name = "AETCONFIG", uint32_t version = 2)
    {
        std::string buffer(bufferSize + 1, '#');
        const std::string got =
            Result(size, [&] { tdf.LoadSection(file, name, version, &buffer[0], bufferSize, size); }, &buffer);
        EXPECT_EQ(buffer.back(), '#') << "read past the buffer";
        return got;
    }
    std::string Append(const char* name, uint32_t version, const char* file = nullptr)
    {
        return Result(size, [&] { tdf.AppendSectionHeader(file ? file : path.c_str(), name, version, size); });
    }
    std::string Save(uint32_t offset, const void* data, uint32_t unit, uint32_t count, const char* file = nullptr)
    {
        return Result(size, [&] { tdf.SaveSectionData(file ? file : path.c_str(), offset, data, unit, count, size); });
    }

    ScratchProfile dir;
    std::string path = dir.Path("cfg.tdf");
    TdfFile tdf;
    uint32_t size = 0;
};

// Probe, size query and load of one file each, in the order the readers check; the size query takes any extension,
// the load ".tdf". Names match exactly, the first match wins, and a damaged header ends the search unmatched.
TEST_F(TdfFileTest, ReadTable)
{
    const char A[] = "AETCONFIG", kGone[] = "AETCONFIG section cannot be located in the file.";
    const char kExtension[] = "TDF file extension must be .tdf.";
    const char kFile[] = "File name passed to load file is not valid.";
    const std::string sound = AsText(TdfImage({Section("FIRST", 1, "data"), Section(A, 2, "xyz")}));  // 2nd at 25
    const std::string n259 = AsText(TdfImage({Section(std::string(259, 'n'), 1, ""), Section(A, 2, "xyz")}));
    const std::string many = AsText(TdfImage({Section("aetconfig", 2, "lower"), Section(A, 1, "v1"),
                                              Section("AETCONFIGX", 2, "longer"), Section(A, 2, "first"),
                                              Section(A, 2, "second"), Section("", 2, "")}));
    // The image with the 32-bit field at the offset set, or cut to a size.
    const auto set = [](std::string image, std::size_t at, uint32_t field) { return image.replace(at, 4, U32(field)); };
    const auto cut = [&](std::size_t length) { return sound.substr(0, length); };
    const struct {
        const char* file;   // "": the empty path
        std::string bytes;  // "": no file
        const char* name;
        uint32_t bufferSize;
        bool probe;
        const char* size;
        const char* load;
    } rows[] = {
        {"cfg.TDF", sound, A, 64, true, "3", "xyz"},
        {".tdf", sound, A, 2, true, "3", "xy"},
        {"cfg.tdfx", sound, A, 64, false, "3", kExtension},
        {"cfgtdf", sound, A, 64, false, "3", kExtension},
        {"tdf", sound, A, 64, false, "3", kExtension},
        {"cfg.tdf.bak", sound, A, 64, false, "3", kExtension},
        {"short.tdf", "TDF", A, 64, false, "Invalid TDF format.", "Invalid TDF format."},
        {"other.tdf", "TDF1abcd", A, 64, false, "Invalid TDF format.", "Invalid TDF format."},
        {"cfg.tdf", sound, "AETCONFI", 64, true, kNotFound, "AETCONFI section cannot be located in the file."},
        {"cfg.tdf", sound, nullptr, 64, true, kNotFound, " section cannot be located in the file."},
        {"cfg.tdf", sound, A, 0, true, "3", "No buffer allocated to load section data."},
        {"missing.tdf", "", A, 0, false, kFile, "File name passed to load is not valid."},
        {"", "", A, 0, false, kFile, "File name passed to load is not valid."},
        {"cfg.tdf", many, A, 64, true, "5", "first"},
        {"cfg.tdf", many, "aetconfig", 64, true, "5", "lower"},
        {"cfg.tdf", many, "", 64, true, "0", ""},
        {"cfg.tdf", n259, A, 64, true, "3", "xyz"},
        {"cfg.tdf", set(n259, 12, 260), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", set(sound, 25, 0x8000000), A, 64, true, "134217707", "xyz"},  // more than the file holds
        {"cfg.tdf", set(sound, 25, 0x8000001), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", set(sound, 4, 11), A, 64, true, kNotFound, kGone},  // a length inside its own header
        {"cfg.tdf", set(sound, 4, 16), A, 64, true, kNotFound, kGone},  // one below 12 + N
        {"cfg.tdf", set(sound, 4, 23), A, 64, true, kNotFound, kGone},  // inside the next header
        {"cfg.tdf", set(sound, 12, 0xFFFFFFFF), A, 64, true, kNotFound, kGone},  // the name length
        {"cfg.tdf", set(sound, 25, 20), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", set(sound, 33, 260), A, 64, true, kNotFound, kGone},
        // Cut inside the first length, name length and name, the second name, and the data.
        {"cfg.tdf", cut(6), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", cut(14), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", cut(18), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", cut(45), A, 64, true, kNotFound, kGone},
        {"cfg.tdf", cut(47), A, 64, true, "3", "x"},
    };
    for (const auto& row : rows) {
        const std::string file = *row.file != '\0' ? dir.Path(row.file) : "";
        if (!row.bytes.empty()) WriteBytes(file, row.bytes);
        EXPECT_EQ(tdf.IsTdfFile(file.c_str()), row.probe) << &row - rows;
        EXPECT_EQ(SizeOf(file.c_str(), row.name), row.size) << &row - rows;
        EXPECT_EQ(Load(file.c_str(), row.bufferSize, row.name), row.load) << &row - rows;
    }
    EXPECT_EQ(SizeOf(nullptr), kFile);
    EXPECT_EQ(Result(size, [&] { tdf.LoadSection(path.c_str(), A, 2, nullptr, 10, size); }),
              "No buffer allocated to load section data.");
}

TEST_F(TdfFileTest, AppendAndSaveWriteTheExactBytes)
{
    WriteBytes(path, "TDF2");
    ASSERT_EQ(Append("AETCONFIG", 2), "4");
    // Length 12 + 9, version 2, name length 9, the name without a NUL.
    const std::string header = "TDF2" + std::string("\x15\0\0\0\x02\0\0\0\x09\0\0\0", 12) + "AETCONFIG";
    EXPECT_EQ(ReadBytes(path), header);
    EXPECT_EQ(Save(4, "0123", 1, 4), "25");
    const uint16_t pairs[] = {0x3534, 0x3736};  // "4567" on little-endian hosts, as 2 elements of 2 bytes
    EXPECT_EQ(Save(4, pairs, 2, 2), "29");
    EXPECT_EQ(Save(4, "", 1, 0), "29");
    std::string expected = header + "01234567";
    expected[4] = 29;
    EXPECT_EQ(ReadBytes(path), expected);
    // A null name gives a header-only section; every byte of a field counts.
    EXPECT_EQ(Append(nullptr, 0x87654321), "33");
    EXPECT_EQ(ReadBytes(path), expected + std::string("\x0C\0\0\0\x21\x43\x65\x87\0\0\0\0", 12));
    EXPECT_EQ(Load(path.c_str()), "01234567");

    // A section may end at 2 GiB, never past it: a sparse file ends 24 bytes before.
    const uint32_t last = 0x7FFFFFFF - 24;
    std::filesystem::resize_file(path, last);
    ASSERT_EQ(Append("AETCONFIG", 2), std::to_string(last));
    EXPECT_EQ(Save(last, "abcd", 1, 4), kNoData);
    EXPECT_EQ(Save(last, "abc", 1, 3), "24");
}

ZR_KDT::platform::SystemCallTable& Calls() { return ZR_KDT::platform::SystemCalls(); }
const auto kSystemsReadAt = Calls().readAt;

// The call, counted from 1, of a faked entry that fails.
int g_failingCall = 0;
int g_calls = 0;

bool FailsNow() { return ++g_calls == g_failingCall; }
std::size_t FailOneWrite(const void* data, std::size_t size, std::size_t n, std::FILE* file)
{
    return FailsNow() ? 0 : std::fwrite(data, size, n, file);
}
long long FailOneRead(std::FILE* stream, uint64_t offset, void* buffer, std::size_t count)
{
    return FailsNow() ? -1 : kSystemsReadAt(stream, offset, buffer, count);
}
void FailWrite(int call)
{
    g_calls = 0;
    g_failingCall = call;
    Calls().write = &FailOneWrite;
}
void FailRead(int call)
{
    g_calls = 0;
    g_failingCall = call;
    Calls().readAt = &FailOneRead;
}
// A write whose failure only the stream's error flag tells.
std::size_t WriteIgnoringErrors(const void* data, std::size_t size, std::size_t n, std::FILE* file)
{
    std::fwrite(data, size, n, file);
    return n;
}
// A full volume: bytes that only the stream's buffer takes, and a flush that fails.
std::size_t BufferOnly(const void*, std::size_t, std::size_t n, std::FILE*) { return n; }
bool FailFlush(std::FILE*) { return false; }
std::FILE* NoUpdate(const char* path, const char* mode) { return mode[1] == '+' ? nullptr : std::fopen(path, mode); }
std::FILE* ReadOnlyUpdate(const char* path, const char* mode) { return std::fopen(path, mode[1] == '+' ? "rb" : mode); }

// Every failure of the writers, and the reader's read error, on a file of one empty AETCONFIG section at 4 with the
// length field given. Append writes: 1 length placeholder, 2 version, 3 name length, 4 name, 5 length; save writes: 1
// data, 2 new length; load reads: 1 signature, 2 header, 3 name, 4 data. Checks come before any write.
TEST_F(TdfFileTest, WriteAndFileSystemFaultTable)
{
    const std::string missing = dir.Path("missing.tdf");
    const char kOffset[] = "Section header offset to save data is not valid.";
    const char kHeader[] = "Write error - size of TDF header.";
    const char kNameAndVersion[] = "Write error -  TDF section name and version.";
    const char kCorrupted[] = "Write error - section data corrupted.";
    const struct {
        uint32_t length;  // 0: no section
        std::function<std::string()> call;
        const char* error;
        bool untouched;
    } rows[] = {
        {21, [&] { return Save(4, "x", 1, 1, missing.c_str()); }, kNotValid, true},
        {21, [&] { return Save(4, "x", 1, 1, ""); }, kNotValid, true},
        {21, [&] { return Append("AETCONFIG", 2, missing.c_str()); }, kNotValid, true},
        {21, [&] { return Append("AETCONFIG", 2, ""); }, kNotValid, true},
        {21, [&] { return Save(0, "x", 1, 1); }, kOffset, true},
        {21, [&] { return Save(3, nullptr, 1, 1); }, kOffset, true},
        {21, [&] { return Save(4, nullptr, 1, 1); }, "No data to write TDF.", true},
        {0, [&] { return Save(4, "x", 1, 1); }, kNoLength, true},
        {21, [&] { return Save(100, "x", 1, 1); }, kNoLength, true},
        {11, [&] { return Save(4, "x", 1, 1); }, kNoLength, true},
        {0x8000001, [&] { return Save(4, "x", 1, 1); }, kNoLength, true},
        // Growing past the reader's limit would make the section unreadable.
        {0x8000000 - 2, [&] { return Save(4, "xyz", 1, 3); }, kNoData, true},
        {0x8000000 - 2, [&] { return Save(4, "xyz", 0x10000, 0x10000); }, kNoData, true},
        {21, [&] { return Save(4, "xyz", 0, 3); }, kNoData, true},  // elements of size 0 never add up
        {21, [&] { FailWrite(1); return Append("AETCONFIG", 2); }, "Write error -  TDF section header size.", true},
        {21, [&] { FailWrite(2); return Append("AETCONFIG", 2); }, kNameAndVersion, false},
        {21, [&] { FailWrite(3); return Append("AETCONFIG", 2); }, kNameAndVersion, false},
        {21, [&] { FailWrite(4); return Append("AETCONFIG", 2); }, kNameAndVersion, false},
        {21, [&] { FailWrite(5); return Append("AETCONFIG", 2); }, kHeader, false},
        {21, [&] { Calls().flush = &FailFlush; return Append("AETCONFIG", 2); }, kHeader, false},
        {21, [&] { FailWrite(1); return Save(4, "abc", 1, 3); }, kNoData, true},
        {21, [&] { FailWrite(2); return Save(4, "abc", 1, 3); }, kHeader, false},
        {21, [&] { Calls().open = &NoUpdate; return Append("AETCONFIG", 2); }, kCannotOpen, true},
        {21, [&] { Calls().open = &NoUpdate; return Save(4, "abc", 1, 3); }, kCannotOpen, true},
        {21, [&] { Calls().open = &ReadOnlyUpdate; Calls().write = &WriteIgnoringErrors; return Save(4, "abc", 1, 3); },
         kCorrupted, true},
        {21, [&] { Calls().write = &BufferOnly; Calls().flush = &FailFlush; return Save(4, "abc", 1, 3); }, kCorrupted,
         true},
        {21, [&] { FailRead(4); return Load(path.c_str()); }, "Read I/O error - section data corrupted.", true},
    };
    for (const auto& row : rows) {
        Bytes image = TdfImage({Section("AETCONFIG", 2, "")});
        row.length == 0 ? image.resize(4) : SetU32(image, 4, row.length);
        WriteFile(path, image);
        EXPECT_EQ(row.call(), row.error) << &row - rows;
        ZR_KDT::platform::ResetSystemCalls();
        EXPECT_EQ(ReadFile(path) == image, row.untouched) << &row - rows;
    }
    // A folder opens for reading on some systems but never for update.
    const std::string folder = dir.NewFolder("folder.tdf");
    EXPECT_THAT(Append("AETCONFIG", 2, folder.c_str()), ::testing::AnyOf(kNotValid, kCannotOpen));
    EXPECT_THAT(Save(4, "x", 1, 1, folder.c_str()), ::testing::AnyOf(kNotValid, kCannotOpen));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// The walker starts where it is told, here at a section list without a signature.
TEST_F(TdfFileTest, WalkerStartsAtTheGivenOffset)
{
    WriteFile(path, Section("FIRST", 1, "data"));
    TdfFormat::StreamGuard stream(std::fopen(path.c_str(), "rb"));
    TdfSectionWalker walker(stream.get(), 0);
    TdfSectionHeader header;
    EXPECT_TRUE(walker.Next(header) && header.offset == 0 && std::string(header.name) == "FIRST");
    EXPECT_TRUE(!walker.Next(header) && walker.GetStatus() == TdfSectionWalker::Status_End);
}

}  // namespace
