// The operating-system services the library needs, behind one interface.
// platform/win32 calls the Windows functions; platform/posix gives the
// closest POSIX equivalent. Nothing here throws.
#pragma once

#include <cstdint>
#include <string>

namespace ZR_KDT {
namespace platform {

// ---- dynamic libraries ----------------------------------------------------

using ModuleHandle = void*;
using ProcAddress = void (*)();

// Loads a library as LoadLibraryA does: a name without a suffix gets the
// platform's library suffix, and a bare name is searched for in the
// executable's directory, the system locations, the working directory and
// PATH. Null on failure; LastErrorCode() then tells why (126: no such file,
// 193: a file that does not load).
ModuleHandle OpenLibrary(const char* name);

// The exported function, or null (LastErrorCode() says why).
ProcAddress FindSymbol(ModuleHandle module, const char* symbol);

void CloseLibrary(ModuleHandle module);

// The calling thread's error code of the last failed platform call.
uint32_t LastErrorCode();

// Extra words on the last failed OpenLibrary of this thread ("" if none).
std::string LastLoadErrorDetail();

}  // namespace platform
}  // namespace ZR_KDT
