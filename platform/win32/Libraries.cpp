// Win32 backend: dynamic libraries.
#include "Platform.h"

#include <windows.h>

namespace ZR_KDT {
namespace platform {

ModuleHandle OpenLibrary(const char* name) { return ::LoadLibraryA(name); }

ProcAddress FindSymbol(ModuleHandle module, const char* symbol)
{
    return reinterpret_cast<ProcAddress>(::GetProcAddress(static_cast<HMODULE>(module), symbol));
}

void CloseLibrary(ModuleHandle module) { ::FreeLibrary(static_cast<HMODULE>(module)); }

uint32_t LastErrorCode() { return ::GetLastError(); }

std::string LastLoadErrorDetail() { return std::string(); }

}  // namespace platform
}  // namespace ZR_KDT
