// POSIX backend of the tools' services: the standard streams and a loaded
// library's version, from the file its links lead to.
#include "ToolPlatform.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace ZR_KDT {
namespace platform {

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::isatty(::fileno(stream)) != 0; }

// POSIX streams never translate line ends.
bool SetBinaryMode(std::FILE* stream) { return stream != nullptr; }

// libX.so.1 is a link to libX.so.1.2.3: the real file's name carries the
// whole version, the SONAME only its major number.
bool ModuleVersion(ModuleHandle module, std::string& version)
{
    struct link_map* map = nullptr;
    if (module == nullptr || ::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return false;
    char real[PATH_MAX];
    if (map->l_name == nullptr || ::realpath(map->l_name, real) == nullptr) return false;
    const std::string file(real);
    const std::size_t suffix = file.find(".so.", file.find_last_of('/') + 1);
    if (suffix == std::string::npos || suffix + 4 == file.size()) return false;
    version = file.substr(suffix + 4);
    return true;
}

}  // namespace platform
}  // namespace ZR_KDT
