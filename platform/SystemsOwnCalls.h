// The system's own calls behind the table of Platform.h that differ by
// system: each backend defines them, with the promises of the table's
// entries. Only platform/ includes this header; the library reaches them
// through the table.
#pragma once

#include "Platform.h"

namespace k4xplatform {
namespace own {

// The three kinds of the table's open, for a path that is not null: a file
// opened only to be read, a stream of an fopen mode without "x", and a new
// file, written ("w") or also read ("w+"), binary or in text mode.
File OpenForReading(const char* path);
File OpenStream(const char* path, const char* mode);
File CreateNew(const char* path, bool update, bool binary, bool ownerOnly);
long long ReadAt(File file, uint64_t offset, void* buffer, std::size_t count);
bool Sync(File file);
long long Seek(File file, long long offset, int origin);
bool Close(File file);
RenameResult Rename(const char* from, const char* to);
bool Status(const char* path, FileStatus& status);
bool MakeDirectory(const char* path);
bool ListDirectory(const char* path, std::vector<std::string>& names);
bool FreeDiskSpace(const char* path, uint64_t& bytes);
LocalTime ReadLocalTime();
void DebugOutput(const char* text);

}  // namespace own
}  // namespace k4xplatform
