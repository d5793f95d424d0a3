// POSIX backend: streams never translate line ends.
#include "Platform.h"

namespace ZR_KDT {
namespace platform {

bool SetBinaryMode(std::FILE* stream) { return stream != nullptr; }

}  // namespace platform
}  // namespace ZR_KDT
