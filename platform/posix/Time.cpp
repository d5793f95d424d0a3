// POSIX backend: the local time of day.
#include <time.h>

#include "SystemsOwnCalls.h"

namespace k4xplatform {

namespace {

// The local time of the latest second that this thread converted: a logger
// asks many times a second, and only the milliseconds change.
struct ConvertedSecond {
    time_t seconds = -1;
    tm local{};
};

thread_local ConvertedSecond t_latest;

const tm& LocalTimeOf(time_t seconds)
{
    if (seconds != t_latest.seconds) {
        t_latest.local = tm{};
        // Fails only for a time beyond the range of tm; the zeroed record stands.
        ::localtime_r(&seconds, &t_latest.local);
        t_latest.seconds = seconds;
    }
    return t_latest.local;
}

}  // namespace

LocalTime own::ReadLocalTime()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const tm& local = LocalTimeOf(now.tv_sec);
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_wday, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec,  static_cast<int>(now.tv_nsec / 1000000)};
}

}  // namespace k4xplatform
