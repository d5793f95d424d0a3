// The profile directory, by the same rule on both systems.
#include "Platform.h"

namespace ZR_KDT {
namespace platform {

std::string ProfileDirectory()
{
    std::string directory;
    if (GetEnvironment("USERPROFILE", directory)) return NarrowValueIsExact("USERPROFILE") ? directory : std::string();
    GetEnvironment(kProfileFallbackVariable, directory);
    return directory;
}

}  // namespace platform
}  // namespace ZR_KDT
