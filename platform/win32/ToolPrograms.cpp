// Win32 backend of the tools' services: the standard streams and a loaded
// library's version, from its version resource.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "ToolPlatform.h"

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

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::_isatty(::_fileno(stream)) != 0; }

bool SetBinaryMode(std::FILE* stream) { return stream != nullptr && ::_setmode(::_fileno(stream), _O_BINARY) != -1; }

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

}  // namespace platform
}  // namespace ZR_KDT
