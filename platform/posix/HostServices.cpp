// POSIX backend of the hosts' services: a library loaded by its file's path
// or from the folder of a loaded module, that folder, a loaded library's
// file and version (from the file its links lead to), absolute paths, a
// file's last write, and the standard streams.
#include "HostPlatform.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace k4xplatform {

// The dynamic loader looks for what a library imports in its run path,
// which is $ORIGIN for this project's libraries.
ModuleHandle OpenLibraryFile(const char* path) { return OpenLibrary(path); }

namespace {

// The file of the loaded module that holds address; "" when unknown.
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

}  // namespace

std::string ModuleFolder(const void* address)
{
    const std::string path = ModulePath(address);
    return path.substr(0, path.find_last_of('/') + 1);
}

// File names are bytes: the folder's text is the folder.
bool ExistsBesideModule(const void* address, const char* name)
{
    return ::access((ModuleFolder(address) + name).c_str(), F_OK) == 0;
}

ModuleHandle OpenLibraryBesideModule(const void* address, const char* name)
{
    return OpenLibraryFile((ModuleFolder(address) + name).c_str());
}

// The loader names the file as it was asked for, a relative path
// included; the real file is the one its links lead to.
std::string LibraryFile(ModuleHandle module)
{
    struct link_map* map = nullptr;
    if (module == nullptr || ::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return std::string();
    char real[PATH_MAX];
    if (map->l_name == nullptr || ::realpath(map->l_name, real) == nullptr) return std::string();
    return real;
}

// libX.so.1 is a link to libX.so.1.2.3: the real file's name carries the
// whole version, the SONAME only its major number.
bool ModuleVersion(ModuleHandle module, std::string& version)
{
    const std::string file = LibraryFile(module);
    if (file.empty()) return false;
    const std::size_t suffix = file.find(".so.", file.find_last_of('/') + 1);
    if (suffix == std::string::npos || suffix + 4 == file.size()) return false;
    version = file.substr(suffix + 4);
    return true;
}

std::string AbsolutePath(const char* path)
{
    if (path == nullptr || *path == '\0') return std::string();
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.lexically_normal().string();
}

bool LastWriteTime(const char* path, int64_t& time)
{
    struct stat status;
    if (path == nullptr || ::stat(path, &status) != 0) return false;
    time = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return true;
}

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::isatty(::fileno(stream)) != 0; }

// POSIX streams never translate line ends.
bool SetBinaryMode(std::FILE* stream) { return stream != nullptr; }

}  // namespace k4xplatform
