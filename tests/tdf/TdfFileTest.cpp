// TDF containers through TdfFile: the extension and signature probe, the search and its limits, the exact bytes of
// appended sections, and the error text of every failure, file-system faults included.
#include "Bytes.h"
#include "ErrorOf.h"
#include "FaultyCalls.h"
#include "ScratchProfile.h"
#include "TdfFile.h"
#include "TdfFormat.h"
#include "TdfSectionWalker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

using namespace k4xtest;

const char kNotFound[] = "Section size cannot be located in the file.";
const char kNoLength[] = "Write I/O error - unable to determine section length.";
const char kNoData[] = "Write I/O error - unable to write section data.";
const char kNotValid[] = "File name passed to save file is not valid.";
const char kCannotOpen[] = "Could not open TDF file as specified.";

class TdfFileTest : public ::testing::Test {
protected:
    void TearDown() override { k4xplatform::ResetSystemCalls(); }

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
        EXPECT_TRUE(size == 0 || got.size() == size) << "a failed load leaves a length of " << size;
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

    // The operations of the fault rows.
    enum Call { Call_Append, Call_Save, Call_Load };
    std::string Run(Call call)
    {
        if (call == Call_Append) return Append("AETCONFIG", 2);
        return call == Call_Save ? Save(4, "abc", 1, 3) : Load(path.c_str());
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
    const char kFormat[] = "Invalid TDF format.", kNoBuffer[] = "No buffer allocated to load section data.";
    const std::string sound = AsText(TdfImage({Section("FIRST", 1, "data"), Section(A, 2, "xyz")}));  // 2nd at 25
    const auto named = [&](std::size_t length) {
        return AsText(TdfImage({Section(std::string(length, 'n'), 1, ""), Section(A, 2, "xyz")}));
    };
    const std::string many = AsText(TdfImage({Section("aetconfig", 2, "lower"), Section(A, 1, "v1"),
                                              Section("AETCONFIGX", 2, "longer"), Section(A, 2, "first"),
                                              Section(A, 2, "second"), Section("", 2, "")}));
    // The image with the 32-bit field at the offset set, or cut to a size.
    const auto set = [](std::string image, std::size_t at, uint32_t field) { return image.replace(at, 4, U32(field)); };
    const auto cut = [&](std::size_t length) { return sound.substr(0, length); };
    const struct {
        const char* label;
        std::string bytes;  // "": no file
        bool probe;
        const char* size;
        const char* load;
        const char* file = "cfg.tdf";
        const char* name = "AETCONFIG";
        uint32_t bufferSize = 64;
    } rows[] = {
        // clang-format off
        // label                           bytes                        probe   size          load                                                file        name   bufferSize
        {"extension in capitals",          sound,                       true,   "3",          "xyz",                                              "cfg.TDF"},
        {"extension alone, buffer of 2",   sound,                       true,   "3",          "xy",                                               ".tdf",     A,     2},
        {"extension followed by more",     sound,                       false,  "3",          kExtension,                                         "cfg.tdfx"},
        {"extension without a dot",        sound,                       false,  "3",          kExtension,                                         "cfgtdf"},
        {"extension as the whole name",    sound,                       false,  "3",          kExtension,                                         "tdf"},
        {"other signature",                "TDF1abcd",                  false,  kFormat,      kFormat},
        {"name's prefix",                  sound,                       true,   kNotFound,    "AETCONFI section cannot be located in the file.",  "cfg.tdf",  "AETCONFI"},
        {"no name",                        sound,                       true,   kNotFound,    " section cannot be located in the file.",          "cfg.tdf",  nullptr},
        {"no buffer",                      sound,                       true,   "3",          kNoBuffer,                                          "cfg.tdf",  A,     0},
        {"no file",                        "",                          false,  kFile,        "File name passed to load is not valid.",           "missing.tdf"},
        {"first exact match",              many,                        true,   "5",          "first"},
        {"empty name",                     many,                        true,   "0",          "",                                                 "cfg.tdf",  ""},
        {"name of 259 bytes",              named(259),                  true,   "3",          "xyz"},
        {"name of 260 bytes",              named(260),                  true,   kNotFound,    kGone},
        {"name length at 2^32 - 1",        set(sound, 12, 0xFFFFFFFF),  true,   kNotFound,    kGone},
        {"more data than the file holds",  set(sound, 25, 0x8000000),   true,   "134217707",  "xyz"},
        {"length above 0x8000000",         set(sound, 25, 0x8000001),   true,   kNotFound,    kGone},
        {"length below 12 + name",         set(sound, 4, 16),           true,   kNotFound,    kGone},
        {"cut inside a header",            cut(14),                     true,   kNotFound,    kGone},
        {"cut inside a name",              cut(18),                     true,   kNotFound,    kGone},
        {"cut inside the data",            cut(47),                     true,   "3",          "x"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const std::string file = dir.Path(row.file);
        if (!row.bytes.empty()) WriteBytes(file, row.bytes);
        EXPECT_EQ(tdf.IsTdfFile(file.c_str()), row.probe);
        EXPECT_EQ(SizeOf(file.c_str(), row.name), row.size);
        EXPECT_EQ(Load(file.c_str(), row.bufferSize, row.name), row.load);
    }
    EXPECT_FALSE(tdf.IsTdfFile("tdf")) << "a name no longer than its extension";
    EXPECT_EQ(SizeOf(nullptr), kFile);
    EXPECT_EQ(SizeOf(dir.NewFolder("folder.tdf").c_str()), kFile) << "a folder does not open for reading";
    EXPECT_EQ(Result(size, [&] { tdf.LoadSection(path.c_str(), A, 2, nullptr, 10, size); }), kNoBuffer);
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
    EXPECT_EQ(Save(33, "", 1, 0), "12") << "a section of its header alone";
    EXPECT_EQ(ReadBytes(path), expected + std::string("\x0C\0\0\0\x21\x43\x65\x87\0\0\0\0", 12));
    EXPECT_EQ(Append("Z", 1), "45");
    EXPECT_EQ(ReadBytes(path).substr(45), std::string("\x0D\0\0\0\x01\0\0\0\x01\0\0\0Z", 13)) << "a name of one byte";
    EXPECT_EQ(Load(path.c_str()), "01234567");

    // A section may end at 2 GiB, never past it: a sparse file ends 24 bytes before.
    const uint32_t last = 0x7FFFFFFF - 24;
    std::filesystem::resize_file(path, last);
    ASSERT_EQ(Append("AETCONFIG", 2), std::to_string(last));
    EXPECT_EQ(Save(last, "abcd", 1, 4), kNoData);
    EXPECT_EQ(Save(last, "abc", 1, 3), "24");
}

// The checks of SaveSectionData and AppendSectionHeader, which come before any write, on a file of one empty AETCONFIG
// section at 4 with the length field given.
TEST_F(TdfFileTest, WriterArgumentTable)
{
    const std::string missing = dir.Path("missing.tdf");
    const struct {
        const char* label;
        uint32_t length;
        uint32_t offset;
        const char* data;
        const char* error;
        uint32_t count = 1;
        uint32_t unit = 1;
        const char* file = nullptr;  // null: the file with the section
    } rows[] = {
        // clang-format off
        // label                                      length          offset   data      error       count     unit   file
        {"no file",                                   21,             4,       "x",      kNotValid,  1,        1,     missing.c_str()},
        {"offset inside the signature, before data",  21,             3,       nullptr,  "Section header offset to save data is not valid."},
        {"no data",                                   21,             4,       nullptr,  "No data to write TDF."},
        {"stored length inside its header",           11,             4,       "x",      kNoLength},
        {"stored length above the limit",             0x8000001,      4,       "x",      kNoLength},
        // Growing past the reader's limit would make the section unreadable.
        {"growing past the limit",                    0x8000000 - 2,  4,       "xyz",    kNoData,    3},
        {"growing past the limit in elements",        0x8000000 - 2,  4,       "xyz",    kNoData,    0x10000,  0x10000},
        {"elements of size 0",                        21,             4,       "xyz",    kNoData,    3,        0},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Bytes image = TdfImage({Section("AETCONFIG", 2, "")});
        SetU32(image, 4, row.length);
        WriteFile(path, image);
        EXPECT_EQ(Save(row.offset, row.data, row.unit, row.count, row.file), row.error);
        EXPECT_EQ(size, 0u) << "the out value is zeroed before the checks";
        EXPECT_EQ(ReadFile(path), image);
    }
    EXPECT_EQ(Append("AETCONFIG", 2, missing.c_str()), kNotValid);
}

int g_reads = 0;

// The fourth read fails.
void FailRead4()
{
    g_reads = 0;
    Calls().readAt = [](File file, uint64_t offset, void* buffer, std::size_t count) {
        return ++g_reads == 4 ? -1 : Own().readAt(file, offset, buffer, count);
    };
}
// A write whose failure only the stream's error flag tells: the file opens for update as a read-only stream.
void WriteReadOnly()
{
    Calls().open = [](const char* path, const char* mode) {
        return mode[1] == '+' ? File{std::fopen(path, "rb"), k4xplatform::kNoHandle} : Own().open(path, mode);
    };
    Calls().write = [](const void* data, std::size_t size, std::size_t n, File file) {
        std::fwrite(data, size, n, file.stream);
        return n;
    };
}
// A full volume: bytes that only the stream's buffer takes, and a flush that fails.
void FullVolume()
{
    Calls().write = [](const void*, std::size_t, std::size_t n, File) { return n; };
    FailFlush();
}

// File-system faults on a file of one empty AETCONFIG section at 4: the error, and what is left behind the section.
// Append writes: 1 length placeholder, 2 version, 3 name length, 4 name, 5 length; save writes: 1 data, 2 new length;
// load reads: 1 signature, 2 header, 3 name, 4 data.
TEST_F(TdfFileTest, FileSystemFaultTable)
{
    const char kHeader[] = "Write error - size of TDF header.";
    const char kNameAndVersion[] = "Write error -  TDF section name and version.";
    const char kCorrupted[] = "Write error - section data corrupted.";
    const std::string header = U32(2) + U32(9) + "AETCONFIG";
    const struct {
        const char* label;
        void (*fault)();
        Call call;
        const char* error;
        std::string left;
    } rows[] = {
        // clang-format off
        // label                             fault            call          error                                        left
        {"append, placeholder not written",  &FailWrite<1>,   Call_Append,  "Write error -  TDF section header size.",   ""},
        {"append, version not written",      &FailWrite<2>,   Call_Append,  kNameAndVersion,                             U32(0)},
        {"append, name length not written",  &FailWrite<3>,   Call_Append,  kNameAndVersion,                             U32(0) + U32(2)},
        {"append, name not written",         &FailWrite<4>,   Call_Append,  kNameAndVersion,                             U32(0) + U32(2) + U32(9)},
        {"append, length not written",       &FailWrite<5>,   Call_Append,  kHeader,                                     U32(0) + header},
        {"append, flush fails",              &FailFlush,      Call_Append,  kHeader,                                     U32(21) + header},
        {"append, no update open",           &RefuseUpdate,   Call_Append,  kCannotOpen,                                 ""},
        {"save, data not written",           &FailWrite<1>,   Call_Save,    kNoData,                                     ""},
        {"save, length not written",         &FailWrite<2>,   Call_Save,    kHeader,                                     "abc"},
        {"save, no update open",             &RefuseUpdate,   Call_Save,    kCannotOpen,                                 ""},
        {"save, stream error",               &WriteReadOnly,  Call_Save,    kCorrupted,                                  ""},
        {"save, full volume",                &FullVolume,     Call_Save,    kCorrupted,                                  ""},
        {"load, data not read",              &FailRead4,      Call_Load,    "Read I/O error - section data corrupted.",  ""},
        {"load, no read open",               &RefuseRead,     Call_Load,    kCannotOpen,                                 ""},
        // clang-format on
    };
    const Bytes image = TdfImage({Section("AETCONFIG", 2, "")});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        WriteFile(path, image);
        row.fault();
        EXPECT_EQ(Run(row.call), row.error);
        k4xplatform::ResetSystemCalls();
        EXPECT_EQ(ReadBytes(path), AsText(image) + row.left);
    }
}

}  // namespace
