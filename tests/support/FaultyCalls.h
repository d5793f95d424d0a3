// Stand-ins for entries of the system-call table, for the rows that make a
// file operation fail. A test installs them and resets the table after.
#pragma once

#include "Platform.h"

#include <cstdio>

namespace k4xtest {

inline ZR_KDT::platform::SystemCallTable& Calls() { return ZR_KDT::platform::SystemCalls(); }

inline int g_writes = 0;

// The write, counted from 1 from here on, that writes nothing, as on a full disk.
template <int write>
void FailWrite()
{
    g_writes = 0;
    Calls().write = [](const void* data, std::size_t size, std::size_t n, std::FILE* file) {
        return ++g_writes == write ? 0 : std::fwrite(data, size, n, file);
    };
}

inline void FailFlush()
{
    Calls().flush = [](std::FILE*) { return false; };
}

// A file opens for reading but not for update ("r+b"), as a read-only one.
inline void RefuseUpdate()
{
    Calls().open = [](const char* path, const char* mode) { return mode[1] == '+' ? nullptr : std::fopen(path, mode); };
}

// A file opens for a probe but not to be read, whole or as bytes ("rb"), as one taken away in between.
inline void RefuseRead()
{
    Calls().readWholeFile = [](const char*, std::string&) { return ZR_KDT::platform::WholeFileRead_NotOpened; };
    Calls().open = [](const char* path, const char* mode) { return mode[1] == 'b' ? nullptr : std::fopen(path, mode); };
}

}  // namespace k4xtest
