// The system-call table: the calls that both systems share, and the table
// filled with the system's own calls.
#include "Platform.h"
#include "SystemsOwnCalls.h"

namespace k4xplatform {

namespace {

// A mode is a few letters: scanned here, cheaper than a call of strchr.
bool Has(const char* mode, char letter)
{
    for (; *mode != '\0'; ++mode) {
        if (*mode == letter) return true;
    }
    return false;
}

// Three kinds of file, by the mode: made new, only read, or a stream.
File Open(const char* path, const char* mode)
{
    if (path == nullptr || mode == nullptr) return kNoFile;
    if (Has(mode, 'x')) return own::CreateNew(path, Has(mode, '+'), Has(mode, 'b'), Has(mode, 'p'));
    if (mode[0] == 'r' && !Has(mode, '+')) return own::OpenForReading(path);
    return own::OpenStream(path, mode);
}

std::size_t Write(const void* data, std::size_t size, std::size_t count, File file)
{
    return file.stream != nullptr ? std::fwrite(data, size, count, file.stream) : 0;
}

bool Flush(File file) { return file.stream != nullptr && std::fflush(file.stream) == 0; }

bool Remove(const char* path) { return path != nullptr && std::remove(path) == 0; }

constexpr SystemCallTable kSystemsOwn = {
    Open,                // open
    own::ReadAt,         // readAt
    Write,               // write
    Flush,               // flush
    own::Sync,           // sync
    own::Seek,           // seek
    own::Close,          // close
    Remove,              // remove
    own::Rename,         // rename
    own::Status,         // status
    own::MakeDirectory,  // makeDirectory
    own::ListDirectory,  // listDirectory
    own::FreeDiskSpace,  // freeDiskSpace
    own::ReadLocalTime,  // localTime
    own::DebugOutput,    // debugOutput
};

}  // namespace

// Constant-initialised: static objects of other files may log, and so read
// the table, before any constructor of this file has run.
SystemCallTable g_systemCalls = kSystemsOwn;

const SystemCallTable& SystemsOwnCalls() { return kSystemsOwn; }

void ResetSystemCalls() { g_systemCalls = kSystemsOwn; }

}  // namespace k4xplatform
