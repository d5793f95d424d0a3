// What the library asks of files that takes more than one system call, built
// on the system-call table: a fault that a test puts into one entry reaches
// each of them.
#include "Platform.h"

namespace k4xplatform {

namespace {

SystemCallTable& Calls() { return SystemCalls(); }

// Bytes from `from` to the end of the file, plus one so that the read of
// them also sees the end; one chunk more when the length cannot be told.
std::size_t RestOfFile(const char* path, std::size_t from)
{
    uint64_t end = 0;
    if (!FileSize(path, end) || end < from) return from;
    return static_cast<std::size_t>(end - from + 1);
}

// Reads from the end of bytes to the end of the file, in reads of the
// length measured before each.
bool ReadRest(const char* path, File file, std::string& bytes)
{
    for (;;) {
        const std::size_t have = bytes.size();
        const std::size_t want = RestOfFile(path, have);
        bytes.resize(have + want);
        const long long got = Calls().readAt(file, have, &bytes[have], want);
        bytes.resize(have + static_cast<std::size_t>(got < 0 ? 0 : got));
        if (got < 0) return false;
        if (static_cast<std::size_t>(got) < want) return true;
    }
}

// The first read goes to the stack rather than to a string that would be
// zero-filled first; a longer file takes a second read of the length
// measured after the first.
bool ReadWhole(const char* path, File file, std::string& bytes)
{
    char head[4096];
    const long long got = Calls().readAt(file, 0, head, sizeof head);
    bytes.assign(head, static_cast<std::size_t>(got < 0 ? 0 : got));
    if (got < 0) return false;
    return static_cast<std::size_t>(got) < sizeof head || ReadRest(path, file, bytes);
}

}  // namespace

bool PathExists(const char* path)
{
    FileStatus status;
    return path != nullptr && Calls().status(path, status);
}

bool FileSize(const char* path, uint64_t& bytes)
{
    FileStatus status;
    if (path == nullptr || !Calls().status(path, status)) return false;
    bytes = status.size;
    return true;
}

bool OpensForReading(const char* path)
{
    const File file = Calls().open(path, "r");
    if (!IsOpen(file)) return false;
    Calls().close(file);
    return true;
}

WholeFileRead ReadWholeFile(const char* path, std::string& bytes)
{
    bytes.clear();
    const File file = Calls().open(path, "rb");
    if (!IsOpen(file)) return WholeFileRead_NotOpened;
    const bool read = ReadWhole(path, file, bytes);
    Calls().close(file);
    return read ? WholeFileRead_Done : WholeFileRead_Failed;
}

}  // namespace k4xplatform
