// While a FixedClock lives, the library's clock reads its time.
#pragma once

#include "Platform.h"

namespace k4xtest {

// Saturday, 7 March 2026, 09:05:03.045.
inline constexpr k4xplatform::LocalTime kFixedTime{2026, 3, 6, 7, 9, 5, 3, 45};

struct FixedClock {
    static inline k4xplatform::LocalTime s_time{};

    explicit FixedClock(const k4xplatform::LocalTime& time = kFixedTime)
        : m_previous(k4xplatform::SystemCalls().localTime)
    {
        s_time = time;
        k4xplatform::SystemCalls().localTime = [] { return s_time; };
    }
    ~FixedClock() { k4xplatform::SystemCalls().localTime = m_previous; }

    k4xplatform::LocalTime (*const m_previous)();
};

}  // namespace k4xtest
