// POSIX backend: environment variables.
#include "Platform.h"

#include <stdlib.h>

namespace ZR_KDT {
namespace platform {

bool GetEnvironment(const char* name, std::string& value)
{
    value.clear();
    const char* found = name != nullptr ? ::getenv(name) : nullptr;
    if (found == nullptr) return false;
    value = found;
    return true;
}

// A null value removes the variable, as SetEnvironmentVariableA does.
bool SetEnvironment(const char* name, const char* value)
{
    if (name == nullptr) return false;
    return (value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name)) == 0;
}

}  // namespace platform
}  // namespace ZR_KDT
