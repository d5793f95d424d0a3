// Stand-ins for entries of the system-call table, for the rows that make a
// file operation fail. A test installs them and resets the table after.
#pragma once

#include "Platform.h"

#include <cstdio>

namespace k4xtest {

using k4xplatform::File;

inline k4xplatform::SystemCallTable& Calls() { return k4xplatform::SystemCalls(); }
inline const k4xplatform::SystemCallTable& Own() { return k4xplatform::SystemsOwnCalls(); }

inline int g_writes = 0;

// The write, counted from 1 from here on, that writes nothing, as on a full disk.
template <int write>
void FailWrite()
{
    g_writes = 0;
    Calls().write = [](const void* data, std::size_t size, std::size_t n, File file) {
        return ++g_writes == write ? 0 : Own().write(data, size, n, file);
    };
}

inline void FailFlush()
{
    Calls().flush = [](File) { return false; };
}

// A file opens for reading but not for update ("r+b"), as a read-only one.
inline void RefuseUpdate()
{
    Calls().open = [](const char* path, const char* mode) {
        return mode[1] == '+' ? k4xplatform::kNoFile : Own().open(path, mode);
    };
}

// A file opens for a probe ("r") but not to be read ("rb"), as one taken away in between.
inline void RefuseRead()
{
    Calls().open = [](const char* path, const char* mode) {
        return mode[1] == 'b' ? k4xplatform::kNoFile : Own().open(path, mode);
    };
}

}  // namespace k4xtest
