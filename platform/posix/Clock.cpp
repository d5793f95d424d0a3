// POSIX backend: the local time of day.
#include <time.h>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

LocalTime ReadLocalTime()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    // Fails only for a time beyond the range of tm; the zeroed record stands.
    ::localtime_r(&now.tv_sec, &local);
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_wday, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec,  static_cast<int>(now.tv_nsec / 1000000)};
}

}  // namespace platform
}  // namespace ZR_KDT
