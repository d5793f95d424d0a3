// POSIX backend: positional reads of a stream's file.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

long long ReadAt(std::FILE* stream, uint64_t offset, void* buffer, std::size_t count)
{
    const int file = ::fileno(stream);
    char* const bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(file, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

void AdviseScatteredReads(std::FILE* stream) { ::posix_fadvise(::fileno(stream), 0, 0, POSIX_FADV_RANDOM); }

}  // namespace platform
}  // namespace ZR_KDT
