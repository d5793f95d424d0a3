// Win32 backend: the local time of day.
#include <windows.h>

#include "SystemsOwnCalls.h"

namespace ZR_KDT {
namespace platform {

LocalTime own::ReadLocalTime()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                     now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

}  // namespace platform
}  // namespace ZR_KDT
