// The system's own calls behind the table of Platform.h that differ by
// system: each backend defines them. Only platform/ includes this header;
// the library reaches them through the table.
#pragma once

#include "Platform.h"

namespace ZR_KDT {
namespace platform {
namespace own {

std::FILE* OpenShared(const char* path, const char* mode);
bool OpensForReading(const char* path);
long long ReadAt(std::FILE* stream, uint64_t offset, void* buffer, std::size_t count);
bool Replace(const char* from, const char* to);
bool FreeDiskSpace(const char* path, uint64_t& bytes);
LocalTime ReadLocalTime();
void DebugOutput(const char* text);

}  // namespace own
}  // namespace platform
}  // namespace ZR_KDT
