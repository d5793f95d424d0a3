#include "uMutex.h"

namespace ZR_KDT {

// A thread sees its own id as owner only while it holds the lock: nobody else
// writes its id, and it clears the owner itself on its last Unlock. So relaxed
// loads are enough to tell the holder from everybody else. The count is read
// and written by the holder alone, so it needs no locked read-modify-write,
// which would cost about as much again as the lock itself.
uMutex::uMutex() : m_nLockCount(0), m_nOwnerThreadId(0) {}

uMutex::~uMutex() = default;

bool uMutex::Lock()
{
    m_criticalSection.Lock();
    m_nOwnerThreadId.store(k4xplatform::CurrentThreadId(), std::memory_order_relaxed);
    m_nLockCount.store(m_nLockCount.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    return true;
}

bool uMutex::Unlock()
{
    if (m_nOwnerThreadId.load(std::memory_order_relaxed) != k4xplatform::CurrentThreadId()) return false;
    const int32_t count = m_nLockCount.load(std::memory_order_relaxed);
    if (count <= 0) return false;
    m_nLockCount.store(count - 1, std::memory_order_relaxed);
    if (count == 1) m_nOwnerThreadId.store(0, std::memory_order_relaxed);
    m_criticalSection.Unlock();
    return true;
}

}  // namespace ZR_KDT
