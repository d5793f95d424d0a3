// The operating-system services the library needs, behind one interface.
// Each comment is a promise that platform/win32 and platform/posix both
// keep, each section in a file of the same name in both (Libraries.cpp,
// Environment.cpp, ProcessesAndThreads.cpp, Time.cpp, Files.cpp,
// Programs.cpp); the system-call table is SystemCalls.cpp, and the reads
// built on it are FileReads.cpp. Services that only the tools and the C
// interface use are in HostPlatform.h. Nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace k4xplatform {

// ---- libraries --------------------------------------------------------------

using ModuleHandle = void*;
using ProcAddress = void (*)();

// Loads a library: a name without a suffix gets the platform's library
// suffix, and a bare name is searched for in the executable's directory, the
// system locations, the working directory and PATH; the first file found
// decides. Null on failure; LastErrorCode() then tells why: 126 when no
// file was found (on Windows also when a library that it imports was not),
// 193 for a file that does not load (on POSIX also for one whose imports
// are missing); Windows has more, such as 1114 for a DllMain that failed.
ModuleHandle OpenLibrary(const char* name);

// The exported function, or null (LastErrorCode() says why).
ProcAddress FindSymbol(ModuleHandle module, const char* symbol);

// Unloads a library of OpenLibrary; nothing for null.
void CloseLibrary(ModuleHandle module);

// The calling thread's error code of its last failed OpenLibrary or
// FindSymbol, when asked right after that call (127: no such export).
uint32_t LastErrorCode();

// Extra words on the last failed OpenLibrary of this thread ("" if none).
std::string LastLoadErrorDetail();

// ---- environment ------------------------------------------------------------

// The variable's value: true with the value, "" included, when it is set;
// false with "" when it is not set (or name is null).
bool GetEnvironment(const char* name, std::string& value);

// Sets the variable, or removes it for a null value; visible at once and
// inherited by child processes. False when it cannot be set.
bool SetEnvironment(const char* name, const char* value);

// The variable's value as GetEnvironment reads it is the value itself:
// false where it holds a character that the system's narrow encoding cannot
// write (on Windows one outside the ANSI code page), which the narrow calls
// turn into another (a Polish L with stroke into L, a Chinese character into
// "?"). True for an unset variable, and always on POSIX, whose values are
// bytes.
bool NarrowValueIsExact(const char* name);

// The user's profile directory: the value of USERPROFILE when it is set,
// "" included; where USERPROFILE is not set at all, that of the fallback
// variable below (none on Windows). "" for none, and for a USERPROFILE
// whose narrow value is not exact: that would name another folder.
std::string ProfileDirectory();

// Separates the directories of PATH.
#if defined(_WIN32)
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

// The variable that stands in for an unset USERPROFILE (not for an empty
// one): none on Windows, HOME on POSIX.
#if defined(_WIN32)
constexpr const char* kProfileFallbackVariable = nullptr;
#else
constexpr const char* kProfileFallbackVariable = "HOME";
#endif

// ---- processes and threads --------------------------------------------------

// The id of this process.
uint32_t CurrentProcessId();

// id when a process with that id runs, else 0 (also for id 0 and for the
// id of a thread).
uint64_t FindProcessById(uint64_t id);

// The system's id of the calling thread, unique among the running threads.
uint32_t CurrentThreadId();

// True once the process is ending and the system has ended its other
// threads wherever they stood: on Windows from the library's
// DLL_PROCESS_DETACH at process exit on, before its static destructors.
// Always false on POSIX, where exit runs them beside the other threads.
bool ProcessEnding();

// A lock that its holder may take again, as often as it releases it.
class RecursiveMutex {
public:
    RecursiveMutex();
    ~RecursiveMutex();
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;

    void Lock();
    void Unlock();

private:
    alignas(8) unsigned char m_native[64];
};

// ---- time ---------------------------------------------------------------------

struct LocalTime {
    int year;          // four digits
    int month;         // 1 to 12
    int dayOfWeek;     // 0 is Sunday
    int day;           // 1 to 31
    int hour;          // 0 to 23
    int minute;        // 0 to 59
    int second;        // 0 to 59
    int milliseconds;  // 0 to 999
};

// The local time now: SystemCalls().localTime below.

// ---- files ------------------------------------------------------------------

#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The C runtime's text mode on Windows ends a file read at its first 0x1A
// byte (Ctrl-Z) and writes each line feed as a carriage return and a line
// feed; POSIX reads and writes text as it is.
#if defined(_WIN32)
constexpr bool kTextEndsAtCtrlZ = true;
constexpr bool kTextLineFeedsAsCrLf = true;
#else
constexpr bool kTextEndsAtCtrlZ = false;
constexpr bool kTextLineFeedsAsCrLf = false;
#endif

// What a path names.
enum FileKind {
    FileKind_File,
    FileKind_Directory,
    FileKind_Other,  // a device, a pipe, a socket
};

// What the table's status tells of the file a path leads to, through links.
struct FileStatus {
    uint64_t size;
    FileKind kind;
    uint32_t links;  // its names: more than one for a file with hard links
};

// A file of the table's open. One opened to be written has a buffered
// stream; one opened only to be read ("r", "rb") has the system's handle
// alone (a descriptor; a HANDLE on Windows) and is read with readAt, with
// no stream's buffer between.
struct File {
    std::FILE* stream;
    intptr_t handle;
};
constexpr intptr_t kNoHandle = -1;
constexpr File kNoFile = {nullptr, kNoHandle};
inline bool IsOpen(const File& file) { return file.stream != nullptr || file.handle != kNoHandle; }

// The working directory, NUL-terminated, into a buffer of the given size;
// false when it does not fit or cannot be told.
bool WorkingDirectory(char* buffer, std::size_t size);

// Holds the stream's own lock across several calls, each of which then takes
// it again without a locked instruction (flockfile; _lock_file on Windows).
// Every LockStream needs its UnlockStream on the same thread.
void LockStream(std::FILE* stream);
void UnlockStream(std::FILE* stream);

// Tells the system that the file is read at scattered offsets, so that it
// reads ahead no more than each read asks (posix_fadvise with
// POSIX_FADV_RANDOM). Does nothing where there is no such advice.
void AdviseScatteredReads(File file);

// The file that a replacement of path must replace: path itself, or the
// final target of a symbolic link. "" when path is a link whose target
// cannot be told, or another kind of reparse point: such a file is written
// in place.
std::string ReplaceableTarget(const char* path);

// The folder that holds the file path leads to, through links, ending in a
// separator; "" when it cannot be told (or path does not exist).
std::string FolderOfFinalFile(const char* path);

// The file carries what a replacement by a new file would drop: on POSIX an
// ACL or extended attributes (security labels aside, which a new file gets
// by the same rule). Never on Windows, where a replacement keeps the file's
// ACL and named streams itself. False for a missing file.
bool ReplacementDropsAttributes(const char* path);

// Gives the open file `to` the permission bits, owner and group of the file
// `from` (nothing to do when `from` does not exist). False when they cannot
// be made the same. Where a replacement keeps the replaced file's access
// rights by itself (Windows), true.
bool CopyFileAccess(const char* from, File to);

// Built on the table below, so that a test's fault reaches them too:

// The path names a file or directory whose status can be read.
bool PathExists(const char* path);

// The size of the file at path in bytes; false when it cannot be examined.
bool FileSize(const char* path, uint64_t& bytes);

// The file opens for reading as open(path, "r") opens it; it is closed again
// at once.
bool OpensForReading(const char* path);

// What ReadWholeFile made of a file.
enum WholeFileRead {
    WholeFileRead_Done,
    WholeFileRead_NotOpened,  // bytes empty
    WholeFileRead_Failed,     // a read error: bytes holds what came before it
};

// The whole file into bytes, opened as open(path, "rb") opens it, without
// a stream: a short read is the end of the file, so a file of a few lines
// costs one read.
WholeFileRead ReadWholeFile(const char* path, std::string& bytes);

// ---- programs ------------------------------------------------------------------

// The full path of the running program's file; "" when it cannot be told.
std::string ExecutablePath();

// Text for a debugger: SystemCalls().debugOutput below.

// ---- the system-call table -------------------------------------------------

// What the table's rename did.
enum RenameResult {
    Rename_Done,
    Rename_Refused,     // `from` and `to` are as they were
    Rename_TargetGone,  // `to` is gone and `from` still has its name: a
                        // replacement that failed half-way (Windows)
};

// Every file that the library and its tools open, read, write, flush, sync,
// seek, close, remove, rename, examine or list, the directories they make,
// the free space they check, the time they stamp and the text they hand the
// debugger pass through this table of the system's own calls, as SQLite's
// OS layer passes its system calls: a test replaces one entry to make one
// call fail (a short write, a refused flush, a replacement that fails
// half-way, a full disk) on any machine and without root. What is built of
// several calls (the whole-file read, the probe, the durable replace) lies
// above the table.
//
// Threading rule: entries are replaced only while no other thread is inside
// the library (before a test starts its threads, after they end); the
// library reads them without a lock.
struct SystemCallTable {
    // Opens the file with std::fopen's modes, sharing it: other handles, in
    // this and other processes, may read and write it meanwhile; no child
    // process inherits it. "r" and "rb" give the handle alone, every other
    // mode a stream. With "x" (as in C11's "wx"), creates a new file and
    // fails when the name exists, a link included, which it never follows;
    // with "p" beside it, only the owner may open the new file (POSIX mode
    // 0600; on Windows the folder's default). kNoFile on failure, with errno
    // telling why.
    File (*open)(const char* path, const char* mode);
    // Reads up to count bytes at offset in one positional read (pread;
    // ReadFile with an OVERLAPPED offset), past a stream's buffer, leaving a
    // stream's position undefined: seek before using the stream again. The
    // bytes read, fewer than count only at the end of a regular file, or -1
    // on a read error.
    long long (*readAt)(File file, uint64_t offset, void* buffer, std::size_t count);
    // As std::fwrite on the stream: the number of whole elements written.
    std::size_t (*write)(const void* data, std::size_t size, std::size_t count, File file);
    // Hands the stream's buffered bytes to the system; false when they did
    // not all go.
    bool (*flush)(File file);
    // Puts what the system holds of the file's written bytes on the disk
    // (fsync; FlushFileBuffers), through the file's own handle; false when
    // they may not be there.
    bool (*sync)(File file);
    // Moves the stream's position to offset from the start (SEEK_SET) or
    // the end (SEEK_END): the new position, or -1.
    long long (*seek)(File file, long long offset, int origin);
    // Closes the file, which is gone afterwards in every case; false when a
    // stream's last buffered bytes did not reach the file.
    bool (*close)(File file);
    // Removes the file (a link itself, not its target); false when it
    // cannot be removed.
    bool (*remove)(const char* path);
    // Puts the file `from` in the place of `to` in one step: `to` is either
    // the old file or the whole new one, never a mixture; a missing `to` is
    // created. Both must lie on one volume. On Windows the replaced file's
    // attributes and ACL go over to the new one, and a replacement is
    // refused while another program holds `to` open without letting it be
    // deleted.
    RenameResult (*rename)(const char* from, const char* to);
    // What path leads to; false when it cannot be examined (or is missing).
    bool (*status)(const char* path, FileStatus& status);
    // Creates one directory, with default access rights; false when it
    // exists already or cannot be created (or path is null).
    bool (*makeDirectory)(const char* path);
    // The names in the directory, "." and ".." left out; false when it
    // cannot be read.
    bool (*listDirectory)(const char* path, std::vector<std::string>& names);
    // The bytes available to the caller on the volume that holds the
    // directory path (through links); the working directory's volume for
    // null. False when the query fails, also for a path that is no
    // directory (GetDiskFreeSpaceExA's rule).
    bool (*freeDiskSpace)(const char* path, uint64_t& bytes);
    // The wall-clock time now, in the local time zone.
    LocalTime (*localTime)();
    // Hands the text to an attached debugger's output (standard error on
    // POSIX, ended by a line feed); nothing for null.
    void (*debugOutput)(const char* text);
};

// The table in use, filled before any code runs. Tests assign entries and
// call ResetSystemCalls after.
extern SystemCallTable g_systemCalls;
inline SystemCallTable& SystemCalls() { return g_systemCalls; }

// The system's own calls, whatever the table in use holds: a test's entry
// calls through them for what it does not fail.
const SystemCallTable& SystemsOwnCalls();

// Puts the system's own calls back into every entry.
void ResetSystemCalls();

}  // namespace k4xplatform
