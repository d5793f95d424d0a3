// POSIX backend: the calling thread's id (the kernel's, as on Windows).
#include "Platform.h"

#include <unistd.h>

namespace ZR_KDT {
namespace platform {

uint32_t CurrentThreadId() { return static_cast<uint32_t>(::gettid()); }

}  // namespace platform
}  // namespace ZR_KDT
