// One log: formats a line at a time and writes it to its file, and on request
// to standard output and the debugger.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>

#include "Platform.h"
#include "uFile.h"
#include "uLogFormat.h"
#include "uMutex.h"

// Checks the arguments from position `first` on against the printf format
// at position `index`. gcc says gnu_printf, which mingw-w64 needs to check
// %lld as C99 has it; clang knows only printf.
#if defined(__clang__)
#define K4X_PRINTF_FORMAT(index, first) __attribute__((format(printf, index, first)))
#else
#define K4X_PRINTF_FORMAT(index, first) __attribute__((format(gnu_printf, index, first)))
#endif

namespace ZR_KDT {

class uLogManager;

// Writes the lines of uLogFormat.h.
class uLogger {
public:
    // Opens nothing: the first line written opens path, appending ("a+") or
    // truncating ("w+").
    uLogger(const char* path, bool append);
    virtual ~uLogger();
    uLogger(const uLogger&) = delete;
    uLogger& operator=(const uLogger&) = delete;

    // Switching off also closes the file. Returns the previous setting.
    bool SetEnabled(bool on);

    // Writes one line, printf-style; nothing for a disabled logger or
    // categories 0. A message too long for the 4096-byte line is cut at the
    // end of the line buffer, and the line still ends with its line feed.
    void Log(unsigned categories, int stampStyle, const char* format, ...) K4X_PRINTF_FORMAT(4, 5);
    void LogV(unsigned categories, int stampStyle, const char* format, va_list args) K4X_PRINTF_FORMAT(4, 0);

    // Replaces the line end of line (CR LF, LF CR, LF or CR, one of them) by
    // one line feed, in place, and writes the line to every destination.
    // length 0 stands for the length of the text; line must have room for
    // two more bytes behind length. Returns the new length.
    int WriteLine(char* line, unsigned length);

private:
    friend class uLogManager;  // sets the destinations

    std::size_t FormatLine(unsigned categories, int stampStyle, const char* format, va_list args);
    std::size_t WriteStamp(char* out, int stampStyle);
    void KeepStamp(const k4xplatform::LocalTime& time, int stampStyle);
    int WriteLineLocked(char* line, unsigned length);

    uFile m_file;
    std::string m_sPath;
    std::atomic<bool> m_bEnabled;  // tested before the lock is taken
    bool m_bEchoToConsole;
    bool m_bEchoToDebugger;
    bool m_bAppend;
    bool m_bFileOpen;
    // Held by LogV from the prefix to the end of the write; WriteLine, which
    // callers may also use on their own, takes it for itself.
    uMutex m_lock;
    uint32_t m_nBufferSize;
    std::unique_ptr<char[]> m_pBuffer;
    // The latest stamp, for its style and second: lines of the same second
    // differ only in the milliseconds, written at m_nStampMilliseconds.
    int m_nStampStyle;
    k4xplatform::LocalTime m_stampSecond;
    char m_stamp[32];
    std::size_t m_nStampLength;
    bool m_bStampMilliseconds;
    std::size_t m_nStampMilliseconds;
};

}  // namespace ZR_KDT
