// POSIX backend: process and thread ids, whether a process runs, and the
// recursive lock (a recursive pthread mutex).
#include "SystemsOwnCalls.h"

#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace k4xplatform {

namespace {

// The thread group named in /proc/<id>/status, which answers for the thread
// of a process too; 0 when the entry cannot be read. Tgid is the fourth
// line, behind the name, the umask and the state. One read, no stream: a
// process's first C++ stream sets up the locale, which would cost the first
// manager of a child of the debug client more than all else it does.
uint64_t ThreadGroupOf(uint64_t id)
{
    const std::string path = "/proc/" + std::to_string(id) + "/status";
    const File file = own::OpenForReading(path.c_str());
    if (!IsOpen(file)) return 0;
    char text[1024];
    const long long got = own::ReadAt(file, 0, text, sizeof text - 1);
    own::Close(file);
    if (got <= 0) return 0;
    text[got] = '\0';
    const char* line = std::strstr(text, "\nTgid:");
    return line != nullptr ? std::strtoull(line + 6, nullptr, 10) : 0;
}

// gettid is a system call every time, and every lock and unlock of a uMutex
// asks for the id: each thread keeps its own. The thread of a forked child
// has a new id, so the child forgets the one it inherited.
thread_local uint32_t t_threadId = 0;

void ForgetThreadId() { t_threadId = 0; }

static_assert(sizeof(pthread_mutex_t) <= 64, "a pthread mutex must fit the lock's storage");
static_assert(alignof(pthread_mutex_t) <= 8, "the lock's storage is 8-byte aligned");

pthread_mutex_t* Native(unsigned char* storage) { return std::launder(reinterpret_cast<pthread_mutex_t*>(storage)); }

}  // namespace

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

uint64_t FindProcessById(uint64_t id)
{
    // 0 and anything beyond pid_t would address process groups or wrap.
    if (id == 0 || id > static_cast<uint64_t>(std::numeric_limits<pid_t>::max())) return 0;
    const uint64_t group = ThreadGroupOf(id);
    if (group != 0) return group == id ? id : 0;
    // Without /proc: the process exists even when we may not signal it.
    const bool exists = ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
    return exists ? id : 0;
}

bool ProcessEnding() { return false; }

uint32_t CurrentThreadId()
{
    if (t_threadId == 0) {
        static const bool s_forkHandled = ::pthread_atfork(nullptr, nullptr, ForgetThreadId) == 0;
        static_cast<void>(s_forkHandled);
        t_threadId = static_cast<uint32_t>(::gettid());
    }
    return t_threadId;
}

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

}  // namespace k4xplatform
