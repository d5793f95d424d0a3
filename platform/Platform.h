// The operating-system services the library needs, behind one interface.
// platform/win32 calls the Windows functions; platform/posix gives the
// closest POSIX equivalent. Nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

// The version that the loaded library's file carries, as "1.2.3": the file
// version of its version resource on Windows, the numbers after ".so." in
// the name of the file its links resolve to on POSIX. False for none.
bool ModuleVersion(ModuleHandle module, std::string& version);

// ---- environment ------------------------------------------------------------

// GetEnvironmentVariableA: false when the variable is not set.
bool GetEnvironment(const char* name, std::string& value);

// SetEnvironmentVariableA: visible at once and inherited by child processes.
bool SetEnvironment(const char* name, const char* value);

// ---- processes and threads --------------------------------------------------

uint32_t CurrentProcessId();

// id when a process with that id runs, else 0 (also for id 0).
uint64_t FindProcessById(uint64_t id);

// GetCurrentThreadId; the kernel thread id on POSIX.
uint32_t CurrentThreadId();

// A lock that its holder may take again: a critical section on Windows, a
// recursive pthread mutex on POSIX.
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

// GetLocalTime.
LocalTime ReadLocalTime();

// ---- files and directories ----------------------------------------------------

#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Separates the directories of PATH.
#if defined(_WIN32)
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

// The variable that stands in for an unset USERPROFILE: none on Windows,
// HOME on POSIX.
#if defined(_WIN32)
constexpr const char* kProfileFallbackVariable = nullptr;
#else
constexpr const char* kProfileFallbackVariable = "HOME";
#endif

// _mkdir: 0 when the directory was created, -1 when it exists or fails.
int MakeDirectory(const char* path);

// CreateDirectoryA with default security: one level, true when created.
bool CreateOneDirectory(const char* path);

// _getcwd into a buffer of the given size; false when it does not fit or fails.
bool WorkingDirectory(char* buffer, std::size_t size);

// _stat64i32 succeeds: the path names something that can be examined.
bool PathExists(const char* path);

// GetDiskFreeSpaceExA: bytes available to the caller on the volume of
// directory (the current volume for null). False when the query fails.
bool FreeDiskSpace(const char* directory, uint64_t& bytes);

// _fsopen(path, mode, _SH_DENYNO): other handles, in this and other
// processes, may read and write the file while it is open.
std::FILE* OpenSharedFile(const char* path, const char* mode);

// Puts the file `from` in the place of `to` in one step: `to` is either
// the old file or the whole new one, never a mixture. MoveFileExA with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH; on POSIX fsync, then
// rename. Both must lie on one volume. False when nothing was replaced.
bool ReplaceFile(const char* from, const char* to);

// OutputDebugStringA; one line on standard error on POSIX.
void DebugOutput(const char* text);

// _setmode(_O_BINARY): no line-end translation on the stream. POSIX streams
// are binary already. False when the mode cannot be set.
bool SetBinaryMode(std::FILE* stream);

// ---- programs ------------------------------------------------------------------

// GetModuleFileNameA of the running program; "" when it cannot be told.
std::string ExecutablePath();

// _isatty: the stream is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

}  // namespace platform
}  // namespace ZR_KDT
