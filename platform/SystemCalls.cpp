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

constexpr SystemCallTable kSystemsOwn = {
    own::OpenShared,       // open
    own::OpensForReading,  // opensForReading
    own::ReadAt,           // readAt
    Write,                 // write
    Flush,                 // flush
    Close,                 // close
    Remove,                // remove
    own::Replace,          // replace
    own::FreeDiskSpace,    // freeDiskSpace
    own::ReadLocalTime,    // localTime
    own::DebugOutput,      // debugOutput
};

}  // namespace

// Constant-initialised: static objects of other files may log, and so read
// the table, before any constructor of this file has run.
SystemCallTable g_systemCalls = kSystemsOwn;

void ResetSystemCalls() { g_systemCalls = kSystemsOwn; }

}  // namespace platform
}  // namespace ZR_KDT
