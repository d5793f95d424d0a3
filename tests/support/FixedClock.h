// While a FixedClock lives, the library's clock reads its time.
#pragma once

#include "uSystemCalls.h"

namespace k4xtest {

// Saturday, 7 March 2026, 09:05:03.045.
inline constexpr ZR_KDT::platform::LocalTime kFixedTime{2026, 3, 6, 7, 9, 5, 3, 45};

struct FixedClock {
    static inline ZR_KDT::platform::LocalTime s_time{};

    explicit FixedClock(const ZR_KDT::platform::LocalTime& time = kFixedTime)
    {
        s_time = time;
        ZR_KDT::SystemCalls().localTime = [] { return s_time; };
    }
    ~FixedClock() { ZR_KDT::SystemCalls().localTime = ZR_KDT::platform::ReadLocalTime; }
};

}  // namespace k4xtest
