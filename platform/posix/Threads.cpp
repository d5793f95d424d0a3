// POSIX backend: the recursive lock, a recursive pthread mutex.
#include <pthread.h>

#include <new>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

namespace {

static_assert(sizeof(pthread_mutex_t) <= 64, "a pthread mutex must fit the lock's storage");
static_assert(alignof(pthread_mutex_t) <= 8, "the lock's storage is 8-byte aligned");

pthread_mutex_t* Native(unsigned char* storage) { return std::launder(reinterpret_cast<pthread_mutex_t*>(storage)); }

}  // namespace

// Initialising a mutex with default memory fails only for lack of resources;
// a lock that cannot be made would have no caller to report to, as
// InitializeCriticalSection has none.
RecursiveMutex::RecursiveMutex()
{
    pthread_mutexattr_t attributes;
    ::pthread_mutexattr_init(&attributes);
    ::pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    ::pthread_mutex_init(new (m_native) pthread_mutex_t, &attributes);
    ::pthread_mutexattr_destroy(&attributes);
}

RecursiveMutex::~RecursiveMutex() { ::pthread_mutex_destroy(Native(m_native)); }

void RecursiveMutex::Lock() { ::pthread_mutex_lock(Native(m_native)); }

void RecursiveMutex::Unlock() { ::pthread_mutex_unlock(Native(m_native)); }

}  // namespace platform
}  // namespace ZR_KDT
