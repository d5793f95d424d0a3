// How the logging level variable's text becomes a level, and which levels
// write the log: the logger and the k4xtrace tool read it alike.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace ZR_KDT {

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

}  // namespace ZR_KDT
