// POSIX backend: the calling thread's id (the kernel's, as on Windows).
#include "Platform.h"

#include <pthread.h>
#include <unistd.h>

namespace ZR_KDT {
namespace platform {

namespace {

// gettid is a system call every time, and every lock and unlock of a uMutex
// asks for the id: each thread keeps its own. The thread of a forked child
// has a new id, so the child forgets the one it inherited.
thread_local uint32_t t_threadId = 0;

void ForgetThreadId() { t_threadId = 0; }

}  // namespace

uint32_t CurrentThreadId()
{
    if (t_threadId == 0) {
        static const bool s_forkHandled = ::pthread_atfork(nullptr, nullptr, ForgetThreadId) == 0;
        static_cast<void>(s_forkHandled);
        t_threadId = static_cast<uint32_t>(::gettid());
    }
    return t_threadId;
}

}  // namespace platform
}  // namespace ZR_KDT
