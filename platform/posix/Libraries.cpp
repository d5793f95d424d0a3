// POSIX backend: dynamic libraries, with names completed as Windows would.
#include "Platform.h"

#include <dlfcn.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace k4xplatform {

namespace {

constexpr uint32_t kModuleNotFound = 126;  // ERROR_MOD_NOT_FOUND
constexpr uint32_t kBadImage = 193;        // ERROR_BAD_EXE_FORMAT
constexpr uint32_t kProcNotFound = 127;    // ERROR_PROC_NOT_FOUND

// Plain bytes, no destructor: glibc keeps a library that registered a
// thread_local destructor mapped until that thread ends, so an unload by
// the host would not unload it.
thread_local uint32_t t_lastError = 0;
thread_local char t_loadDetail[1024];

std::string ExecutableDirectory()
{
    const std::string exe = ExecutablePath();
    return exe.substr(0, exe.find_last_of('/'));
}

// "TraceFactory" -> libTraceFactory.so, TraceFactory.so; "x.so.1" -> itself.
std::vector<std::string> FileNames(const std::string& file)
{
    if (file.find('.') != std::string::npos) return {file};
    return {"lib" + file + ".so", file + ".so"};
}

// Where a name is looked for; "" stands for dlopen's own search.
std::vector<std::string> SearchDirectories(const std::string& name)
{
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) return {name.substr(0, slash + 1)};
    std::vector<std::string> dirs{ExecutableDirectory(), "", "."};
    std::string rest;
    GetEnvironment("PATH", rest);
    for (size_t start = 0; start <= rest.size();) {
        const size_t colon = std::min(rest.find(kPathListSeparator, start), rest.size());
        if (colon > start) dirs.push_back(rest.substr(start, colon - start));
        start = colon + 1;
    }
    return dirs;
}

std::string Join(const std::string& dir, const std::string& file)
{
    if (dir.empty() || dir.back() == '/') return dir + file;
    return dir + "/" + file;
}

// dlopen's own search names the file it could not find at the start of
// its reason; a reason that names another file (a missing dependency) or
// another problem (a wrong architecture) means the file was found.
bool NotFoundBySystemSearch(const std::string& reason, const std::string& candidate)
{
    return reason.rfind(candidate + ": cannot open shared object file: No such file or directory", 0) == 0;
}

// dlerror's reason in the C locale's words, whatever locale the host set:
// glibc translates it, and the search reads it. Without a C locale object
// a translated reason counts as a file found, the cautious answer.
std::string UntranslatedLoadError(const std::string& path)
{
    const locale_t untranslated = ::newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t host = untranslated != nullptr ? ::uselocale(untranslated) : nullptr;
    const char* reason = ::dlerror();
    if (host != nullptr) ::uselocale(host);
    if (untranslated != nullptr) ::freelocale(untranslated);
    return reason != nullptr ? reason : path;
}

// A longer detail is cut at the end of the buffer.
ModuleHandle Fail(uint32_t code, const std::string& detail)
{
    t_lastError = code;
    std::snprintf(t_loadDetail, sizeof t_loadDetail, "%s", detail.c_str());
    return nullptr;
}

}  // namespace

ModuleHandle OpenLibrary(const char* name)
{
    if (name == nullptr || *name == '\0') return Fail(kModuleNotFound, "empty library name");
    const std::string request(name);
    const std::string file = request.substr(request.find_last_of('/') + 1);
    for (const std::string& dir : SearchDirectories(request)) {
        for (const std::string& candidate : FileNames(file)) {
            const bool systemSearch = dir.empty();
            const std::string path = systemSearch ? candidate : Join(dir, candidate);
            if (!systemSearch && ::access(path.c_str(), F_OK) != 0) continue;
            if (ModuleHandle module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
            // The first file found decides, as on Windows: no later copy is
            // tried behind one that exists but does not load.
            const std::string why = UntranslatedLoadError(path);
            if (!systemSearch || !NotFoundBySystemSearch(why, candidate)) return Fail(kBadImage, why);
        }
    }
    std::string names;
    for (const std::string& candidate : FileNames(file)) names += (names.empty() ? "" : " or ") + candidate;
    return Fail(kModuleNotFound, "no file found for " + request + " (" + names + ")");
}

ProcAddress FindSymbol(ModuleHandle module, const char* symbol)
{
    void* address = module != nullptr && symbol != nullptr ? ::dlsym(module, symbol) : nullptr;
    if (address == nullptr) t_lastError = kProcNotFound;
    return reinterpret_cast<ProcAddress>(address);
}

void CloseLibrary(ModuleHandle module)
{
    if (module != nullptr) ::dlclose(module);
}

uint32_t LastErrorCode() { return t_lastError; }

std::string LastLoadErrorDetail() { return t_loadDetail; }

}  // namespace k4xplatform
