// The system calls that fault tests replace: one table, in the manner of
// SQLite's, so that a full disk, a failing write or a file that vanishes
// can be tested on any machine and without root.
//
// Threading rule: entries are replaced only while no other thread is
// inside the library (before a test starts its threads, after they end);
// the library reads them without a lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "Platform.h"

namespace ZR_KDT {

struct uSystemCalls {
    // Bytes available to the caller on the volume of directory (the current
    // volume for null); false when the query fails.
    bool (*freeDiskSpace)(const char* directory, uint64_t& bytes);
    // fopen, for the configuration and TDF files.
    std::FILE* (*openFile)(const char* path, const char* mode);
    // fwrite, for the configuration and TDF files.
    std::size_t (*writeFile)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
    // Runs between the text load's probe of a settings file and the open
    // that reads it; does nothing unless a test takes the file away there.
    void (*afterTextProbe)(const char* path);
    // Hands a log line to the debugger.
    void (*debugOutput)(const char* text);
    // The local time, for time stamps and the trace log's name.
    platform::LocalTime (*localTime)();
};

// The table in use. Tests assign entries and call ResetSystemCalls after.
uSystemCalls& SystemCalls();

// Puts the system's own calls back into every entry.
void ResetSystemCalls();

}  // namespace ZR_KDT
