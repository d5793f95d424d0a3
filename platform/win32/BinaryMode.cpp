// Win32 backend: binary mode for C runtime streams.
#include <fcntl.h>
#include <io.h>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

bool SetBinaryMode(std::FILE* stream) { return stream != nullptr && ::_setmode(::_fileno(stream), _O_BINARY) != -1; }

}  // namespace platform
}  // namespace ZR_KDT
