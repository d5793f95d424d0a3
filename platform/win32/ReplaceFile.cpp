// Win32 backend: replacing a file in one step.
#include "Platform.h"

#include <windows.h>

// <windows.h> maps ReplaceFile to ReplaceFileA; this file defines the
// platform layer's own operation of that name.
#undef ReplaceFile

namespace ZR_KDT {
namespace platform {

bool ReplaceFile(const char* from, const char* to)
{
    if (from == nullptr || to == nullptr) return false;
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace platform
}  // namespace ZR_KDT
