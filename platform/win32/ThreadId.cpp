// Win32 backend: the calling thread's id.
#include "Platform.h"

#include <windows.h>

namespace ZR_KDT {
namespace platform {

uint32_t CurrentThreadId() { return ::GetCurrentThreadId(); }

}  // namespace platform
}  // namespace ZR_KDT
