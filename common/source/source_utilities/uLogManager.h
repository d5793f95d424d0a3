// The process-wide logging set-up: the current logger, the verbosity level
// and the loggers made so far, by log file name.
//
// Calling idiom, which LogProgress, LogFailure and LogAtLevel below wrap:
//   uLogManager& log = uLogManager::Instance();
//   if (log.m_nLevel >= 1)
//       log.m_pLogger->Log(LogCategory_Message, LogStamp_Time, "DCM: %s", text);
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "uLogger.h"

namespace ZR_KDT {

class uLogManager {
public:
    // Below this many bytes free on the log's volume, logging stays off
    // rather than fill it.
    static constexpr uint64_t kMinimumFreeBytes = 5120000;

    // The manager, created with no logger and level 0 by the first call on
    // any thread. It is never destroyed; its loggers live until Release.
    static uLogManager& Instance();

    // Makes the logger of fileName current. With reuseByName, a logger
    // registered under fileName is taken as it is; otherwise a logger already
    // current stays. A new logger writes to the value of directoryVariable,
    // a separator and fileName, and levelVariable gives its level: its
    // destinations and m_nLevel as LogDestinationsOf (TraceVariables.h) says;
    // for anything else, logger disabled, m_nLevel the value read.
    // False for a null fileName or levelVariable, and when fewer than
    // kMinimumFreeBytes are free for the log (no logger is made then; the
    // current one, if any, stays). Throws source_utilities_error when the
    // trace directories cannot be resolved for the two lines it writes.
    bool Initialize(const char* fileName, const char* levelVariable, const char* directoryVariable, bool reuseByName);

    // The logger registered under exactly fileName, or null.
    uLogger* Find(const char* fileName);

    // Closes and frees every logger once no thread is writing through one;
    // logging is off (level 0, no logger) until the next Initialize, and
    // lines logged meanwhile are dropped. For the library's unload: its
    // loggers must not outlive the module that made them. A writer that is
    // not done within patience (a thread stuck in a write, or ended inside
    // one) is not waited for: the loggers then stay, still owned, and a
    // later Release frees them.
    void Release(std::chrono::milliseconds patience);

    // Written under the set-up lock; read without it by every log call.
    std::atomic<uLogger*> m_pLogger;
    std::atomic<int32_t> m_nLevel;
    bool m_bReuseByName;
    // Read and written under the set-up lock. Looked up by the name as the
    // caller gives it, without a copy: every manager's construction does.
    std::map<std::string, uLogger*, std::less<>> m_loggers;
    // Made without reuse by name: still owned, so Release frees them.
    std::vector<uLogger*> m_unnamedLoggers;

private:
    uLogManager();
    uLogManager(const uLogManager&) = delete;
    uLogManager& operator=(const uLogManager&) = delete;

    static int32_t ApplyLevel(uLogger& logger, int32_t value);
    uLogger* FindLocked(const char* fileName) const;
};

// Writes one line through the current logger when the level is at least
// threshold; nothing is formatted otherwise.
void LogAtLevel(int32_t threshold, unsigned categories, int stampStyle, const char* format, ...)
    K4X_PRINTF_FORMAT(4, 5);

// A progress line (M) at level 1 and above, stamped with the time of day.
void LogProgress(const char* format, ...) K4X_PRINTF_FORMAT(1, 2);

// A failure line (E) at level 1 and above, stamped with the time of day.
void LogFailure(const char* format, ...) K4X_PRINTF_FORMAT(1, 2);

}  // namespace ZR_KDT
