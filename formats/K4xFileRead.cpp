#include "K4xFileRead.h"

#include "Platform.h"

namespace K4xFormat {

namespace {

// Bytes from `from` to the end of the file, plus one so that the read of
// them also sees the end; one chunk more when the length cannot be told.
std::size_t RestOfFile(std::FILE* file, std::size_t from)
{
    if (std::fseek(file, 0, SEEK_END) != 0) return from;
    const long end = std::ftell(file);
    return end >= 0 && static_cast<std::size_t>(end) >= from ? static_cast<std::size_t>(end) - from + 1 : from;
}

// Reads from the end of bytes to the end of the file, in reads of the
// length measured before each.
bool ReadRest(std::FILE* file, std::string& bytes)
{
    for (;;) {
        const std::size_t have = bytes.size();
        const std::size_t want = RestOfFile(file, have);
        bytes.resize(have + want);
        const long long got = ZR_KDT::platform::SystemCalls().readAt(file, have, &bytes[have], want);
        bytes.resize(have + static_cast<std::size_t>(got < 0 ? 0 : got));
        if (got < 0) return false;
        if (static_cast<std::size_t>(got) < want) return true;
    }
}

}  // namespace

// Positional reads: a read that comes back short is the end of the file, so
// a settings file of a few lines costs one read, into the stack rather than
// a string that would be zero-filled first, and a longer one a second read
// of the length measured after the first.
bool ReadWholeFile(std::FILE* file, std::string& bytes)
{
    char head[4096];
    const long long got = ZR_KDT::platform::SystemCalls().readAt(file, 0, head, sizeof head);
    bytes.assign(head, static_cast<std::size_t>(got < 0 ? 0 : got));
    if (got < 0) return false;
    return static_cast<std::size_t>(got) < sizeof head || ReadRest(file, bytes);
}

}  // namespace K4xFormat
