// The profile directory, by the same rule on both systems.
#include "Platform.h"

namespace k4xplatform {

std::string ProfileDirectory()
{
    std::string directory;
    if (GetEnvironment("USERPROFILE", directory)) return NarrowValueIsExact("USERPROFILE") ? directory : std::string();
    GetEnvironment(kProfileFallbackVariable, directory);
    return directory;
}

}  // namespace k4xplatform
