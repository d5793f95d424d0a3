// POSIX backend: a library loaded by its file's path, and the file of a loaded module.
#include "Platform.h"

#include <dlfcn.h>
#include <link.h>

#include <climits>
#include <cstdlib>

namespace ZR_KDT {
namespace platform {

// The dynamic loader looks for what a library imports in its run path,
// which is $ORIGIN for this project's libraries.
ModuleHandle OpenLibraryFile(const char* path) { return OpenLibrary(path); }

std::string ModulePath(const void* address)
{
    Dl_info info;
    struct link_map* map = nullptr;
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || map == nullptr) {
        return std::string();
    }
    // The program itself has an empty name in the link map.
    if (map->l_name == nullptr || *map->l_name == '\0') return ExecutablePath();
    char real[PATH_MAX];
    return ::realpath(map->l_name, real) != nullptr ? std::string(real) : std::string();
}

}  // namespace platform
}  // namespace ZR_KDT
