// A recursive lock that knows its owner and refuses a release by anyone else.
#pragma once

#include <atomic>
#include <cstdint>

#include "Platform.h"

namespace ZR_KDT {

class uMutex {
public:
    uMutex();
    virtual ~uMutex();
    uMutex(const uMutex&) = delete;
    uMutex& operator=(const uMutex&) = delete;

    // Waits while another thread holds the lock; the holder may lock again.
    // Always true.
    bool Lock();

    // Undoes one Lock of the calling thread. False, with nothing changed,
    // when the caller does not hold the lock or the lock is free.
    bool Unlock();

    // Holds a lock for the life of a scope.
    class Hold {
    public:
        explicit Hold(uMutex& lock) : m_lock(lock) { m_lock.Lock(); }
        ~Hold() { m_lock.Unlock(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        uMutex& m_lock;
    };

private:
    k4xplatform::RecursiveMutex m_criticalSection;
    // Written only by the holder; atomic because Unlock reads them on any
    // thread to find out whether the caller is the holder.
    std::atomic<int32_t> m_nLockCount;
    std::atomic<uint64_t> m_nOwnerThreadId;
};

}  // namespace ZR_KDT
