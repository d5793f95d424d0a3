// POSIX backend: positional reads of a stream's file.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

long long own::ReadAt(std::FILE* stream, uint64_t offset, void* buffer, std::size_t count)
{
    ssize_t got;
    do {
        got = ::pread(::fileno(stream), buffer, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

void AdviseScatteredReads(std::FILE* stream) { ::posix_fadvise(::fileno(stream), 0, 0, POSIX_FADV_RANDOM); }

}  // namespace platform
}  // namespace ZR_KDT
