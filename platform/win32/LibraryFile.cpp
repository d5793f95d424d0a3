// Win32 backend: a library loaded by its file's path, and the file of a loaded module.
#include <windows.h>

#include "Platform.h"

#include <vector>

namespace ZR_KDT {
namespace platform {

// LOAD_WITH_ALTERED_SEARCH_PATH looks for the DLLs that the file imports
// in its own folder first; it needs the path with backslashes.
ModuleHandle OpenLibraryFile(const char* path)
{
    if (path == nullptr) return OpenLibrary(path);
    std::string native(path);
    for (char& c : native) c = c == '/' ? '\\' : c;
    return ::LoadLibraryExA(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::string ModulePath(const void* address)
{
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!::GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module)) return std::string();
    // The longest path the system knows, in one call.
    std::vector<char> buffer(32768);
    const DWORD length = ::GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

}  // namespace platform
}  // namespace ZR_KDT
