// TDF container files. All integers are unsigned 32-bit little-endian; all
// offsets are absolute and stay below 2 GiB.
//
//   File
//   offset  size  field
//   0       4     signature "TDF2" (0x32464454)
//   4       ...   sections, one behind the other, in the order appended;
//                 no count, no index, no end marker: the file's end ends them
//
//   Section (offsets relative to its first byte)
//   0       4     length L: the whole section, header included; the next
//                 section starts at (section start + L)
//   4       4     version, chosen by the writer; readers match it exactly
//   8       4     name length N
//   12      N     name, not NUL-terminated, compared case-sensitively
//   12 + N  L-12-N  data
//
// Reader limits: L above 0x8000000, N of 260 or more, L below 12 + N, a
// header cut off by the end of the file, or a section reaching past 2 GiB
// ends a search without a match. The first matching section wins. Writer
// limits: no header or data ends past 2 GiB, no section grows past
// 0x8000000, and a stored L below 12 or above 0x8000000 is not written to.
#include "TdfFile.h"

#include "Platform.h"
#include "TdfFormat.h"
#include "TdfSectionWalker.h"
#include "cVexaError.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

using namespace k4xtdf;
using k4xplatform::File;

namespace {

[[noreturn]] void Fail(const char* message)
{
    throw Zr::Kdt::Vexa::cVexaError(message, Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error);
}

k4xplatform::SystemCallTable& Calls() { return k4xplatform::SystemCalls(); }

FileGuard Open(const char* path, const char* mode) { return FileGuard(Calls().open(path, mode)); }

// Opens for the search and checks the signature. Every read is positional,
// and a file opened to be read has no stream whose buffer could read ahead
// into data nobody asked for.
FileGuard OpenForReading(const char* path)
{
    FileGuard file = Open(path, "rb");
    if (!file) Fail("Could not open TDF file as specified.");
    k4xplatform::AdviseScatteredReads(file.get());
    if (!ReadSignature(file.get())) Fail("Invalid TDF format.");
    return file;
}

FileGuard OpenForUpdate(const char* path)
{
    FileGuard file = Open(path, "r+b");
    if (!file) Fail("Could not open TDF file as specified.");
    return file;
}

bool SeekTo(File file, uint64_t offset)
{
    return offset <= kOffsetLimit && Calls().seek(file, static_cast<long long>(offset), SEEK_SET) >= 0;
}

bool SeekToEnd(File file, uint64_t& offset)
{
    const long long position = Calls().seek(file, 0, SEEK_END);
    if (position < 0) return false;
    offset = static_cast<uint64_t>(position);
    return true;
}

// The flush makes a full disk show up here rather than unseen in the close.
bool RewriteSectionLength(File file, uint32_t headerOffset, uint32_t length)
{
    return SeekTo(file, headerOffset) && WriteU32(file, length) && Calls().flush(file);
}

// The header at the offset is trusted to be the file's last section, but its
// length is still capped: one inside the header would write over it.
uint32_t ReadStoredLength(File file, uint32_t headerOffset)
{
    uint32_t length = 0;
    if (headerOffset > kOffsetLimit || !ReadU32At(file, headerOffset, length) || length < kSectionHeaderSize ||
        length > kMaxSectionLength) {
        Fail("Write I/O error - unable to determine section length.");
    }
    return length;
}

}  // namespace

bool TdfFile::IsTdfFile(const char* path)
{
    if (path == nullptr || !HasExtension(path, "tdf")) return false;
    FileGuard file = Open(path, "rb");
    return file && ReadSignature(file.get());
}

void TdfFile::GetSectionSize(const char* path, const char* name, uint32_t version, uint32_t& dataLength)
{
    dataLength = 0;
    if (!FileExists(path)) Fail("File name passed to load file is not valid.");
    FileGuard file = OpenForReading(path);
    TdfSectionHeader section;
    if (!FindSection(file.get(), name, version, section)) Fail("Section size cannot be located in the file.");
    dataLength = section.dataLength;
}

void TdfFile::LoadSection(const char* path, const char* name, uint32_t version, void* buffer, uint32_t bufferSize,
                          uint32_t& bytesRead)
{
    bytesRead = 0;
    if (!FileExists(path)) Fail("File name passed to load is not valid.");
    if (!HasExtension(path, "tdf")) Fail("TDF file extension must be .tdf.");
    if (buffer == nullptr || bufferSize == 0) Fail("No buffer allocated to load section data.");
    FileGuard file = OpenForReading(path);
    TdfSectionHeader section;
    if (!FindSection(file.get(), name, version, section)) {
        Fail((std::string(name != nullptr ? name : "") + " section cannot be located in the file.").c_str());
    }
    const uint64_t dataOffset = uint64_t{section.offset} + section.length - section.dataLength;
    const long long got = Calls().readAt(file.get(), dataOffset, buffer, std::min(bufferSize, section.dataLength));
    if (got < 0) Fail("Read I/O error - section data corrupted.");
    bytesRead = static_cast<uint32_t>(got);
}

void TdfFile::AppendSectionHeader(const char* path, const char* name, uint32_t version, uint32_t& headerOffset)
{
    headerOffset = 0;
    if (!FileExists(path)) Fail("File name passed to save file is not valid.");
    FileGuard file = OpenForUpdate(path);
    const uint64_t headerSize = kSectionHeaderSize + (name != nullptr ? std::strlen(name) : 0);
    uint64_t end = 0;
    if (!SeekToEnd(file.get(), end) || !FitsWithin(end, headerSize, kOffsetLimit)) {
        Fail("Write error -  TDF section header size.");
    }
    headerOffset = static_cast<uint32_t>(end);
    if (!WriteU32(file.get(), 0)) Fail("Write error -  TDF section header size.");
    if (!WriteSectionNameAndVersion(file.get(), name, version)) Fail("Write error -  TDF section name and version.");
    if (!RewriteSectionLength(file.get(), headerOffset, static_cast<uint32_t>(headerSize))) {
        Fail("Write error - size of TDF header.");
    }
}

void TdfFile::SaveSectionData(const char* path, uint32_t headerOffset, const void* data, uint32_t elementSize,
                              uint32_t elementCount, uint32_t& sectionLength)
{
    sectionLength = 0;
    if (!FileExists(path)) Fail("File name passed to save file is not valid.");
    if (headerOffset < kFirstSectionOffset) Fail("Section header offset to save data is not valid.");
    if (data == nullptr) Fail("No data to write TDF.");
    FileGuard file = OpenForUpdate(path);
    const uint32_t length = ReadStoredLength(file.get(), headerOffset);
    const uint64_t byteCount = static_cast<uint64_t>(elementSize) * elementCount;
    // A section longer than the reader's limit, or one running past 2 GiB,
    // could never be read back.
    const bool fits = FitsWithin(length, byteCount, kMaxSectionLength) &&
                      FitsWithin(headerOffset, length + byteCount, kOffsetLimit);
    if (!fits || !SeekTo(file.get(), uint64_t{headerOffset} + length) ||
        Calls().write(data, elementSize, elementCount, file.get()) != elementCount) {
        Fail("Write I/O error - unable to write section data.");
    }
    if (!Calls().flush(file.get()) || std::ferror(file.get().stream)) Fail("Write error - section data corrupted.");
    sectionLength = static_cast<uint32_t>(length + byteCount);
    if (!RewriteSectionLength(file.get(), headerOffset, sectionLength)) Fail("Write error - size of TDF header.");
}

bool TdfFile::HasExtension(const char* path, const char* extension)
{
    if (path == nullptr || extension == nullptr) return false;
    const std::size_t pathLength = std::strlen(path);
    const std::size_t extensionLength = std::strlen(extension);
    if (pathLength <= extensionLength) return false;
    const char* tail = path + (pathLength - extensionLength);
    if (tail[-1] != '.') return false;
    for (std::size_t i = 0; i < extensionLength; ++i) {
        const int left = std::toupper(static_cast<unsigned char>(tail[i]));
        if (left != std::toupper(static_cast<unsigned char>(extension[i]))) return false;
    }
    return true;
}

// A directory does not open for reading on Windows, which POSIX would let
// open; it is refused on both.
bool TdfFile::FileExists(const char* path)
{
    if (path == nullptr || *path == '\0') return false;
    k4xplatform::FileStatus status;
    if (Calls().status(path, status) && status.kind == k4xplatform::FileKind_Directory) return false;
    return k4xplatform::OpensForReading(path);
}

bool TdfFile::FindSection(File file, const char* name, uint32_t version, TdfSectionHeader& section)
{
    if (!k4xplatform::IsOpen(file) || name == nullptr) return false;
    TdfSectionWalker walker(file);
    while (walker.Next(section)) {
        // Compared as NUL-terminated strings: a stored name stops at its first NUL.
        if (section.version == version && std::strcmp(section.name, name) == 0) return true;
    }
    return false;
}

bool TdfFile::WriteSectionNameAndVersion(File file, const char* name, uint32_t version)
{
    const std::size_t nameLength = name != nullptr ? std::strlen(name) : 0;
    if (!WriteU32(file, version) || !WriteU32(file, static_cast<uint32_t>(nameLength))) return false;
    return nameLength == 0 || Calls().write(name, 1, nameLength, file) == nameLength;
}
