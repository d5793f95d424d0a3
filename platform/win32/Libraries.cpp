// Win32 backend: dynamic libraries.
#include "Platform.h"

#include <windows.h>

namespace k4xplatform {

ModuleHandle OpenLibrary(const char* name) { return ::LoadLibraryA(name); }

ProcAddress FindSymbol(ModuleHandle module, const char* symbol)
{
    return reinterpret_cast<ProcAddress>(::GetProcAddress(static_cast<HMODULE>(module), symbol));
}

void CloseLibrary(ModuleHandle module) { ::FreeLibrary(static_cast<HMODULE>(module)); }

uint32_t LastErrorCode() { return ::GetLastError(); }

std::string LastLoadErrorDetail() { return std::string(); }

}  // namespace k4xplatform
