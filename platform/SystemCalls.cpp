// The system-call table: the calls that both systems share, and the table
// filled with the system's own calls.
#include "Platform.h"
#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

namespace {

std::size_t Write(const void* data, std::size_t size, std::size_t count, std::FILE* stream)
{
    return std::fwrite(data, size, count, stream);
}

bool Flush(std::FILE* stream) { return std::fflush(stream) == 0; }

bool Close(std::FILE* stream) { return std::fclose(stream) == 0; }

bool Remove(const char* path) { return std::remove(path) == 0; }

bool OpensForReading(const char* path)
{
    const own::ReadHandle file = own::OpenForReading(path);
    if (file == own::kNotOpened) return false;
    own::CloseForReading(file);
    return true;
}

long long ReadStreamAt(std::FILE* stream, uint64_t offset, void* buffer, std::size_t count)
{
    return own::ReadAt(own::HandleOf(stream), offset, buffer, count);
}

// Bytes from `from` to the end of the file, plus one so that the read of
// them also sees the end; one chunk more when the length cannot be told.
std::size_t RestOfFile(own::ReadHandle file, std::size_t from)
{
    uint64_t end = 0;
    if (!own::LengthOf(file, end) || end < from) return from;
    return static_cast<std::size_t>(end - from + 1);
}

// Reads from the end of bytes to the end of the file, in reads of the
// length measured before each.
bool ReadRest(own::ReadHandle file, std::string& bytes)
{
    for (;;) {
        const std::size_t have = bytes.size();
        const std::size_t want = RestOfFile(file, have);
        bytes.resize(have + want);
        const long long got = own::ReadAt(file, have, &bytes[have], want);
        bytes.resize(have + static_cast<std::size_t>(got < 0 ? 0 : got));
        if (got < 0) return false;
        if (static_cast<std::size_t>(got) < want) return true;
    }
}

// The first read goes to the stack rather than to a string that would be
// zero-filled first; a longer file takes a second read of the length
// measured after the first.
bool ReadWhole(own::ReadHandle file, std::string& bytes)
{
    char head[4096];
    const long long got = own::ReadAt(file, 0, head, sizeof head);
    bytes.assign(head, static_cast<std::size_t>(got < 0 ? 0 : got));
    if (got < 0) return false;
    return static_cast<std::size_t>(got) < sizeof head || ReadRest(file, bytes);
}

WholeFileRead ReadWholeFile(const char* path, std::string& bytes)
{
    bytes.clear();
    const own::ReadHandle file = own::OpenForReading(path);
    if (file == own::kNotOpened) return WholeFileRead_NotOpened;
    const bool read = ReadWhole(file, bytes);
    own::CloseForReading(file);
    return read ? WholeFileRead_Done : WholeFileRead_Failed;
}

constexpr SystemCallTable kSystemsOwn = {
    own::OpenShared,     // open
    OpensForReading,     // opensForReading
    ReadWholeFile,       // readWholeFile
    ReadStreamAt,        // readAt
    Write,               // write
    Flush,               // flush
    Close,               // close
    Remove,              // remove
    own::Replace,        // replace
    own::FreeDiskSpace,  // freeDiskSpace
    own::ReadLocalTime,  // localTime
    own::DebugOutput,    // debugOutput
};

}  // namespace

// Constant-initialised: static objects of other files may log, and so read
// the table, before any constructor of this file has run.
SystemCallTable g_systemCalls = kSystemsOwn;

void ResetSystemCalls() { g_systemCalls = kSystemsOwn; }

}  // namespace platform
}  // namespace ZR_KDT
