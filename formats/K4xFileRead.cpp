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

}  // namespace

// Positional reads: a read that comes back short is the end of the file, so
// a settings file of a few lines costs one read, and a longer one a second
// read of the length measured after the first.
bool ReadWholeFile(std::FILE* file, std::string& bytes)
{
    bytes.clear();
    for (std::size_t want = 4096;; want = RestOfFile(file, bytes.size())) {
        const std::size_t have = bytes.size();
        bytes.resize(have + want);
        const long long got = ZR_KDT::platform::SystemCalls().readAt(file, have, &bytes[have], want);
        bytes.resize(have + static_cast<std::size_t>(got < 0 ? 0 : got));
        if (got < 0) return false;
        if (static_cast<std::size_t>(got) < want) return true;
    }
}

}  // namespace K4xFormat
