// Win32 backend: the local time of day.
#include <windows.h>

#include "SystemsOwnCalls.h"

namespace k4xplatform {

LocalTime own::ReadLocalTime()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                     now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

}  // namespace k4xplatform
