// Constants and byte-level helpers shared by the TDF reader, writer and
// section walker. The file layout is described at the top of TdfFile.cpp.
#pragma once

#include <cstdint>
#include <cstdio>

#include "Platform.h"

namespace k4xtdf {

// "TDF2" read as a little-endian 32-bit value.
constexpr uint32_t kSignature = 0x32464454;
constexpr uint32_t kFirstSectionOffset = 4;
// Section length, version and name length.
constexpr uint32_t kSectionHeaderSize = 12;
constexpr uint32_t kMaxSectionLength = 0x8000000;
// Names of 259 bytes are found; the reader's name buffer holds the terminator.
constexpr uint32_t kNameBufferSize = 260;
// Files of 2 GiB or more are not addressed: every offset fits a signed
// 32-bit seek on every platform.
constexpr uint64_t kOffsetLimit = 0x7FFFFFFF;

// True when [offset, offset + size) lies inside [0, limit); cannot overflow.
constexpr bool FitsWithin(uint64_t offset, uint64_t size, uint64_t limit)
{
    return offset <= limit && size <= limit - offset;
}

// The little-endian 32-bit value in the four bytes at `bytes`.
uint32_t LoadU32(const unsigned char* bytes);

// Reads the little-endian 32-bit value at offset; false when fewer than four
// bytes come.
bool ReadU32At(k4xplatform::File file, uint64_t offset, uint32_t& value);

// Writes one little-endian 32-bit value; false when the write falls short.
bool WriteU32(k4xplatform::File file, uint32_t value);

// Reads the file's first four bytes and compares them with the signature.
bool ReadSignature(k4xplatform::File file);

// Owns an open file and closes it on every path out of an operation.
class FileGuard {
public:
    explicit FileGuard(k4xplatform::File file) : m_file(file) {}
    ~FileGuard()
    {
        if (k4xplatform::IsOpen(m_file)) k4xplatform::SystemCalls().close(m_file);
    }
    FileGuard(FileGuard&& other) noexcept : m_file(other.Release()) {}
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;
    FileGuard& operator=(FileGuard&&) = delete;

    explicit operator bool() const { return k4xplatform::IsOpen(m_file); }
    k4xplatform::File get() const { return m_file; }
    // The file, which the guard no longer closes.
    k4xplatform::File Release()
    {
        const k4xplatform::File file = m_file;
        m_file = k4xplatform::kNoFile;
        return file;
    }

private:
    k4xplatform::File m_file;
};

}  // namespace k4xtdf
