// The trace environment's names: the variables through which the processes
// of one debugging run share it, the name and place of the trace log, and
// how the logging level variable's text becomes a level and where a level
// copies the log. The library, its logger and the k4xtrace tool read them
// alike.
#pragma once

#include "Platform.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace ZR_KDT {

// The debug client's process id; its children keep it.
constexpr char kDebugClientVariable[] = "ZR_TRACE_DEBUGCLIENT_PID";
// The trace directories, published by the first manager of a process.
constexpr char kLoggingDirectoryVariable[] = "ZR_TRACE_LOGGING_DIR";
constexpr char kDataDirectoryVariable[] = "ZR_TRACE_DATA_DIR";
constexpr char kSettingsDirectoryVariable[] = "ZR_TRACE_SETTINGS_DIR";
// The logging level, set by the user.
constexpr char kLoggingVariable[] = "ZR_TRACE_LOGGING";

// The trace log of a debug client: zr_trace_log_<month><day><year>_<id>.txt,
// the numbers in decimal without padding. (3, 7, 2025, "42") =>
// "zr_trace_log_372025_42.txt".
constexpr char kLogFilePrefix[] = "zr_trace_log_";
constexpr char kLogFileSuffix[] = ".txt";

inline std::string LogFileName(int month, int day, int year, const std::string& clientId)
{
    return kLogFilePrefix + std::to_string(month) + std::to_string(day) + std::to_string(year) + "_" + clientId +
           kLogFileSuffix;
}

// A name of that form, whatever its date and id.
inline bool IsLogFileName(const std::string& name)
{
    const std::size_t prefix = sizeof kLogFilePrefix - 1, suffix = sizeof kLogFileSuffix - 1;
    return name.size() > prefix + suffix && name.compare(0, prefix, kLogFilePrefix) == 0 &&
           name.compare(name.size() - suffix, suffix, kLogFileSuffix) == 0;
}

// Where the logger writes a log: in the logging directory, or by the bare
// name when no directory is known.
inline std::string LogFilePath(const std::string& directory, std::string_view fileName)
{
    std::string path = directory;
    if (!path.empty()) path += k4xplatform::kPathSeparator;
    path += fileName;
    return path;
}

// As atoi: leading blanks, an optional sign and decimal digits; anything
// else gives 0. Values beyond int32_t are held at its limits, which are
// outside every level.
inline int32_t LogLevelOf(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Levels 1 to 6 write the log; every other value turns logging off.
constexpr int32_t kLowestLogLevel = 1;
constexpr int32_t kHighestLogLevel = 6;

inline bool LogLevelWritesLog(int32_t level) { return level >= kLowestLogLevel && level <= kHighestLogLevel; }

// Where a level that writes the log also copies its lines, and the level
// that components compare their thresholds with:
//   1: file            -> 1      4: file, stdout  -> 2
//   2: file, stdout    -> 1      5: + debugger    -> 2
//   3: file            -> 2      6: + debugger    -> 3
struct LogDestinations {
    bool console;
    bool debugger;
    int32_t threshold;
};

// For a level that writes the log (LogLevelWritesLog).
inline LogDestinations LogDestinationsOf(int32_t level)
{
    static constexpr LogDestinations kLevels[] = {
        {false, false, 1}, {true, false, 1}, {false, false, 2}, {true, false, 2}, {true, true, 2}, {true, true, 3},
    };
    return kLevels[level - kLowestLogLevel];
}

}  // namespace ZR_KDT
