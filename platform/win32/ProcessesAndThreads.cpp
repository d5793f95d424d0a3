// Win32 backend: process and thread ids, the Toolhelp process walk, the
// module entry that tells when the process ends, and the recursive lock (a
// critical section).
#include <windows.h>

// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <atomic>
#include <new>

#include "Platform.h"

namespace k4xplatform {

namespace {

// The ANSI entry; its size field must say 304 before every call.
constexpr DWORD kProcessEntrySize = 304;
static_assert(sizeof(PROCESSENTRY32) == kProcessEntrySize, "ANSI PROCESSENTRY32 expected");
static_assert(sizeof(PROCESSENTRY32::szExeFile[0]) == 1, "ANSI PROCESSENTRY32 expected");

std::atomic<bool> g_processEnding{false};

static_assert(sizeof(CRITICAL_SECTION) <= 64, "a critical section must fit the lock's storage");
static_assert(alignof(CRITICAL_SECTION) <= 8, "the lock's storage is 8-byte aligned");

CRITICAL_SECTION* Native(unsigned char* storage) { return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage)); }

}  // namespace

uint32_t CurrentProcessId() { return ::GetCurrentProcessId(); }

uint64_t FindProcessById(uint64_t id)
{
    if (id == 0) return 0;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = kProcessEntrySize;
    uint64_t found = 0;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == id) {
            found = id;
            break;
        }
        entry.dwSize = kProcessEntrySize;
    }
    ::CloseHandle(snapshot);
    return found;
}

bool ProcessEnding() { return g_processEnding.load(); }

uint32_t CurrentThreadId() { return ::GetCurrentThreadId(); }

RecursiveMutex::RecursiveMutex() { ::InitializeCriticalSection(new (m_native) CRITICAL_SECTION); }

RecursiveMutex::~RecursiveMutex() { ::DeleteCriticalSection(Native(m_native)); }

void RecursiveMutex::Lock() { ::EnterCriticalSection(Native(m_native)); }

void RecursiveMutex::Unlock() { ::LeaveCriticalSection(Native(m_native)); }

}  // namespace k4xplatform

// The module's entry, called before the C runtime runs its static
// destructors; a reserved pointer at DLL_PROCESS_DETACH means the process
// is ending rather than the module being unloaded.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr) k4xplatform::g_processEnding = true;
    return TRUE;
}
