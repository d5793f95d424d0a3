// The trace log's line format, which the logger writes and the log reader
// (k4xtrace log) reads:
//   <prefix><stamp><message>\n     "M     14:03:07:045 | Logger : ..."
// The prefix is six characters: the letter of each category bit 0 to 4 that
// is set (a blank for each that is not), and a blank. The stamp follows the
// line's stamp style. The message is the caller's text; it may hold line
// feeds of its own, so that one record can span several lines of the file.
#pragma once

#include <cstddef>

namespace ZR_KDT {

// Category bits of a line; each sets one letter of its prefix.
enum LogCategory : unsigned {
    LogCategory_Message = 1,    // M: progress
    LogCategory_Warning = 2,    // W
    LogCategory_Function = 4,   // F: the loader's function trace
    LogCategory_Assertion = 8,  // A
    LogCategory_Error = 16,     // E: failures
};

// The longest line the logger writes, its line feed and NUL included.
constexpr std::size_t kLogLineBufferSize = 4096;

// The letters of category bits 0 to 4, in the order the prefix shows them.
constexpr char kLogCategoryLetters[] = "MWFAE";
constexpr std::size_t kLogCategoryCount = sizeof kLogCategoryLetters - 1;
constexpr std::size_t kLogPrefixLength = kLogCategoryCount + 1;

// The time stamp that follows the prefix. A style outside these stamps
// like LogStamp_None.
enum LogStamp : int {
    LogStamp_None = 0,      // one blank
    LogStamp_Date = 1,      // "%m/%d/%y | "
    LogStamp_Time = 2,      // "%H:%M:%S:%s | "
    LogStamp_DateTime = 3,  // "%m/%d/%y %H:%M:%S:%s | "
};
constexpr int kLastLogStamp = LogStamp_DateTime;

// A stamp style's pattern, cut where the milliseconds go: strftime text for
// the part that lasts a second (each of its conversions gives two digits),
// then the milliseconds as three digits (or none), then a fixed tail.
// Style 2, "%H:%M:%S:%s | ", is "%H:%M:%S:", the milliseconds and " | ".
struct LogStampParts {
    const char* seconds;
    bool milliseconds;
    const char* tail;
};

constexpr LogStampParts LogStampPartsOf(int stampStyle)
{
    switch (stampStyle) {
    case LogStamp_Date:
        return {"%m/%d/%y", false, " | "};
    case LogStamp_Time:
        return {"%H:%M:%S:", true, " | "};
    case LogStamp_DateTime:
        return {"%m/%d/%y %H:%M:%S:", true, " | "};
    default:
        return {"", false, " "};
    }
}

}  // namespace ZR_KDT
