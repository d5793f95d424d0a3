#include "Loader.h"

#include <windows.h>

#include <string>

// With a full path, the DLLs the library imports are found in its folder;
// that search needs the path with backslashes, and CMake writes slashes.
void* OpenLibrary(const char* path)
{
    std::string native(path);
    for (char& c : native) c = c == '/' ? '\\' : c;
    return reinterpret_cast<void*>(LoadLibraryExA(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void* FindFunction(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
