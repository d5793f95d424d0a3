// Constants and byte-level helpers shared by the TDF reader, writer and
// section walker. The file layout is described at the top of TdfFile.cpp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "Platform.h"

namespace TdfFormat {

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
bool ReadU32At(std::FILE* stream, uint64_t offset, uint32_t& value);

// Writes one little-endian 32-bit value; false when the write falls short.
bool WriteU32(std::FILE* stream, uint32_t value);

// Reads the file's first four bytes and compares them with the signature.
bool ReadSignature(std::FILE* stream);

struct StreamCloser {
    void operator()(std::FILE* stream) const { ZR_KDT::platform::SystemCalls().close(stream); }
};

// Owns an open stream and closes it on every path out of an operation.
using StreamGuard = std::unique_ptr<std::FILE, StreamCloser>;

}  // namespace TdfFormat
