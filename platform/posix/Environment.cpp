// POSIX backend: environment variables.
#include "Platform.h"

#include <stdlib.h>

#include <mutex>

namespace k4xplatform {

namespace {

// getenv and setenv may not run at the same time: a setenv can move the
// table that a getenv walks, or free the text it returned. Every read and
// write of the library passes here, and a read copies the text while the
// lock is held.
std::mutex g_environmentLock;

}  // namespace

bool GetEnvironment(const char* name, std::string& value)
{
    value.clear();
    if (name == nullptr) return false;
    std::lock_guard<std::mutex> hold(g_environmentLock);
    const char* found = ::getenv(name);
    if (found == nullptr) return false;
    value = found;
    return true;
}

// A null value removes the variable, as SetEnvironmentVariableA does.
bool SetEnvironment(const char* name, const char* value)
{
    if (name == nullptr) return false;
    std::lock_guard<std::mutex> hold(g_environmentLock);
    return (value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name)) == 0;
}

// Values are bytes, read as they stand.
bool NarrowValueIsExact(const char*) { return true; }

}  // namespace k4xplatform
