// The operating-system services that only the library's hosts in this
// project use (the tools and the C interface, which load the library at run
// time), kept out of the library's own layer and built into those hosts
// alone. Nothing here throws.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "Platform.h"

namespace k4xplatform {

// Loads the library file at path (with its suffix) as OpenLibrary does, but
// the libraries it imports are looked for in its own folder first. Null on
// failure, with LastErrorCode() and LastLoadErrorDetail() as for OpenLibrary.
ModuleHandle OpenLibraryFile(const char* path);

// The folder, with its trailing separator, of the loaded library or program
// that holds the code or data at address, as text for messages: on Windows
// in the code page, where a character it cannot hold comes out replaced.
// "" when it cannot be told.
std::string ModuleFolder(const void* address);

// The two below name a file by its name, or its path relative to the folder
// of the module that holds address, which must be known (ModuleFolder not
// ""). They take that folder in the system's own characters (on Windows
// the wide calls), so a folder whose name the code page cannot hold works.

// The file exists.
bool ExistsBesideModule(const void* address, const char* name);

// Loads the library file as OpenLibraryFile does; null on failure, with
// LastErrorCode() and LastLoadErrorDetail() as for OpenLibrary.
ModuleHandle OpenLibraryBesideModule(const void* address, const char* name);

// The version that the loaded library's file carries, as "1.2.3": the file
// version of its version resource on Windows, the numbers after ".so." in
// the name of the file its links resolve to on POSIX. False for none.
bool ModuleVersion(ModuleHandle module, std::string& version);

// Paths below are narrow text in the system's own encoding (the ANSI code
// page on Windows), passed on byte for byte.

// The longest path that the narrow file calls take (MAX_PATH or PATH_MAX,
// less the NUL): a longer one fails as a file that cannot be opened.
#if defined(_WIN32)
constexpr std::size_t kLongestPath = 259;
#else
constexpr std::size_t kLongestPath = 4095;
#endif

// The path made absolute against the working directory, with the system's
// separators and without "." and ".." parts (taken by name, as
// GetFullPathNameA takes them, not through links); a trailing separator
// may stay. "" when it cannot be made.
std::string AbsolutePath(const char* path);

// When the file was last written, in units that compare only with other
// such times of this system. False when it cannot be told.
bool LastWriteTime(const char* path, int64_t& time);

// The file from which the library was loaded, as the system names it, as
// text for messages (on Windows in the code page). "" when it cannot be
// told (or module is null).
std::string LibraryFile(ModuleHandle module);

// Who may create files in a folder.
enum FolderWriters {
    FolderWriters_Trusted,  // the current user and the system's administrators only
    FolderWriters_Others,   // other users too
    FolderWriters_Unknown,  // it cannot be told
};

// On POSIX, others may write where the folder's owner is another user but
// root, or its permission bits let the world, or a group other than the
// user's own, write. On Windows, where its access list lets Everyone,
// Authenticated Users or Users add a file, or it has none.
FolderWriters WhoMayWrite(const char* folder);

// The stream is a terminal (a console on Windows); false for null.
bool IsTerminal(std::FILE* stream);

// No line-end translation on the stream from now on (POSIX streams never
// translate). False when the mode cannot be set (or stream is null).
bool SetBinaryMode(std::FILE* stream);

}  // namespace k4xplatform
