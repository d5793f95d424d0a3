// Win32 backend: positional reads of a stream's file.
#include <io.h>
#include <windows.h>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

// ReadFile with an offset in its OVERLAPPED record reads there on a handle
// opened for synchronous use, and moves the handle's file pointer behind
// what it read.
long long own::ReadAt(std::FILE* stream, uint64_t offset, void* buffer, std::size_t count)
{
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    if (file == INVALID_HANDLE_VALUE || count > MAXDWORD) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!::ReadFile(file, buffer, static_cast<DWORD>(count), &got, &at)) {
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
}

// Windows takes such advice only when the file is opened.
void AdviseScatteredReads(std::FILE*) {}

}  // namespace platform
}  // namespace ZR_KDT
