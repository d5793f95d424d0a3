// Win32 backend: the recursive lock, a critical section.
#include <windows.h>

#include <new>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

namespace {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "a critical section must fit the lock's storage");
static_assert(alignof(CRITICAL_SECTION) <= 8, "the lock's storage is 8-byte aligned");

CRITICAL_SECTION* Native(unsigned char* storage) { return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage)); }

}  // namespace

RecursiveMutex::RecursiveMutex() { ::InitializeCriticalSection(new (m_native) CRITICAL_SECTION); }

RecursiveMutex::~RecursiveMutex() { ::DeleteCriticalSection(Native(m_native)); }

void RecursiveMutex::Lock() { ::EnterCriticalSection(Native(m_native)); }

void RecursiveMutex::Unlock() { ::LeaveCriticalSection(Native(m_native)); }

}  // namespace platform
}  // namespace ZR_KDT
