// Win32 backend of the hosts' services: a library loaded by its file's path
// or from the folder of a loaded module, that folder, a loaded library's
// file and version (from its version resource), absolute paths, a file's
// last write, and the standard streams.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostPlatform.h"

namespace k4xplatform {

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

// The file of a loaded module, in UTF-16: the ANSI calls would turn a
// character that the code page cannot hold into another one, and so name
// another file.
std::wstring WideModulePath(HMODULE module)
{
    // The longest path the system knows, in one call.
    std::vector<wchar_t> buffer(32768);
    const DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), length);
}

// The folder, with its trailing backslash, of the module that holds
// address, in UTF-16.
std::wstring WideModuleFolder(const void* address)
{
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!::GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module)) return std::wstring();
    const std::wstring path = WideModulePath(module);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// UTF-16 text in the code page, for messages.
std::string CodePageText(const std::wstring& text)
{
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), converted.data(), size, nullptr,
                          nullptr);
    return converted;
}

// The name, in the code page, below that folder, with backslashes.
std::wstring BesideModule(const void* address, const char* name)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), size);
    std::wstring path = WideModuleFolder(address) + wide.data();
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    return path;
}

}  // namespace

// LOAD_WITH_ALTERED_SEARCH_PATH looks for the DLLs that the file imports
// in its own folder first; it needs a full path with backslashes (what it
// does with a relative one is undefined).
ModuleHandle OpenLibraryFile(const char* path)
{
    if (path == nullptr) return OpenLibrary(path);
    const std::string full = AbsolutePath(path);
    return ::LoadLibraryExA(full.empty() ? path : full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::string ModuleFolder(const void* address) { return CodePageText(WideModuleFolder(address)); }

std::string LibraryFile(ModuleHandle module)
{
    return module != nullptr ? CodePageText(WideModulePath(static_cast<HMODULE>(module))) : std::string();
}

bool ExistsBesideModule(const void* address, const char* name)
{
    return ::GetFileAttributesW(BesideModule(address, name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

ModuleHandle OpenLibraryBesideModule(const void* address, const char* name)
{
    return ::LoadLibraryExW(BesideModule(address, name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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

std::string AbsolutePath(const char* path)
{
    if (path == nullptr || *path == '\0') return std::string();
    const DWORD size = ::GetFullPathNameA(path, 0, nullptr, nullptr);
    std::vector<char> buffer(size > 0 ? size : 1);
    const DWORD length = ::GetFullPathNameA(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

bool LastWriteTime(const char* path, int64_t& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path == nullptr || !::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    time = static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                data.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool IsTerminal(std::FILE* stream) { return stream != nullptr && ::_isatty(::_fileno(stream)) != 0; }

bool SetBinaryMode(std::FILE* stream) { return stream != nullptr && ::_setmode(::_fileno(stream), _O_BINARY) != -1; }

}  // namespace k4xplatform
