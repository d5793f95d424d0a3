// While a FixedClock lives, the library's clock reads its time.
#pragma once

#include "Platform.h"

namespace k4xtest {

// Saturday, 7 March 2026, 09:05:03.045.
inline constexpr ZR_KDT::platform::LocalTime kFixedTime{2026, 3, 6, 7, 9, 5, 3, 45};

struct FixedClock {
    static inline ZR_KDT::platform::LocalTime s_time{};

    explicit FixedClock(const ZR_KDT::platform::LocalTime& time = kFixedTime)
        : m_previous(ZR_KDT::platform::SystemCalls().localTime)
    {
        s_time = time;
        ZR_KDT::platform::SystemCalls().localTime = [] { return s_time; };
    }
    ~FixedClock() { ZR_KDT::platform::SystemCalls().localTime = m_previous; }

    ZR_KDT::platform::LocalTime (*const m_previous)();
};

}  // namespace k4xtest
