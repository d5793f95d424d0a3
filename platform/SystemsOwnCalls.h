// The system's own calls behind the table of Platform.h that differ by
// system: each backend defines them. Only platform/ includes this header;
// the library reaches them through the table.
#pragma once

#include "Platform.h"

namespace ZR_KDT {
namespace platform {
namespace own {

std::FILE* OpenShared(const char* path, const char* mode);

// A file opened for reading only, without a stream: a descriptor, or a
// HANDLE on Windows, opened with the access and sharing of OpenShared's "rb".
using ReadHandle = intptr_t;
constexpr ReadHandle kNotOpened = -1;
ReadHandle OpenForReading(const char* path);
void CloseForReading(ReadHandle file);
// The handle beneath the stream, which the stream keeps.
ReadHandle HandleOf(std::FILE* stream);
// One positional read, as the table's readAt.
long long ReadAt(ReadHandle file, uint64_t offset, void* buffer, std::size_t count);
// The file's length in bytes; false when it cannot be told.
bool LengthOf(ReadHandle file, uint64_t& bytes);

bool Replace(const char* from, const char* to);
bool FreeDiskSpace(const char* path, uint64_t& bytes);
LocalTime ReadLocalTime();
void DebugOutput(const char* text);

}  // namespace own
}  // namespace platform
}  // namespace ZR_KDT
