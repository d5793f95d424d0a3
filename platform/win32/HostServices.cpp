// Win32 backend of the hosts' services: a library loaded by its file's path,
// the file of a loaded module and its version (from its version resource),
// and the standard streams.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostPlatform.h"

namespace ZR_KDT {
namespace platform {

namespace {

// The fixed part of the resource follows a header whose length depends on
// its key's padding: it is found by its signature on a 32-bit boundary.
bool FindFixedInfo(const unsigned char* data, DWORD size, VS_FIXEDFILEINFO& info)
{
    for (DWORD offset = 0; offset + sizeof info <= size; offset += 4) {
        std::memcpy(&info, data + offset, sizeof info);
        if (info.dwSignature == 0xFEEF04BD) return true;
    }
    return false;
}

}  // namespace

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

bool ModuleVersion(ModuleHandle module, std::string& version)
{
    const HMODULE handle = static_cast<HMODULE>(module);
    // RT_VERSION in its ANSI form, whatever UNICODE says.
    HRSRC resource = ::FindResourceA(handle, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(handle, resource) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    VS_FIXEDFILEINFO info;
    if (data == nullptr ||
        !FindFixedInfo(static_cast<const unsigned char*>(data), ::SizeofResource(handle, resource), info)) {
        return false;
    }
    version = std::to_string(HIWORD(info.dwFileVersionMS)) + "." + std::to_string(LOWORD(info.dwFileVersionMS)) + "." +
              std::to_string(HIWORD(info.dwFileVersionLS));
    if (LOWORD(info.dwFileVersionLS) != 0) version += "." + std::to_string(LOWORD(info.dwFileVersionLS));
    return true;
}

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::_isatty(::_fileno(stream)) != 0; }

bool SetBinaryMode(std::FILE* stream) { return stream != nullptr && ::_setmode(::_fileno(stream), _O_BINARY) != -1; }

}  // namespace platform
}  // namespace ZR_KDT
