// The eleven stored properties of a manager as one value, read and written
// through the manager's own property calls.
#pragma once

#include "DeviceConfigManager.h"
#include "PropertyNames.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

namespace k4xtest {

struct ConfigValues {
    std::array<int32_t, 6> integers{};       // kIntegerProperties, in order
    std::array<std::string, 4> eventBits{};  // kEventBitProperties
    bool twp = false;                        // kTwpProperty

    bool operator==(const ConfigValues& other) const
    {
        return integers == other.integers && eventBits == other.eventBits && twp == other.twp;
    }
};

inline std::ostream& operator<<(std::ostream& out, const ConfigValues& values)
{
    for (const int32_t value : values.integers) out << value << "; ";
    for (const std::string& text : values.eventBits) out << '"' << text << "\"; ";
    return out << values.twp;
}

inline ConfigValues Capture(Zr::Kdt::Trace::CDeviceConfigManager& manager)
{
    ConfigValues values;
    const auto get = [&](const char* name) {
        Zr::Kdt::Trace::PropertyValue value;
        EXPECT_TRUE(manager.GetProperty(name, value)) << name;
        return value;
    };
    for (std::size_t i = 0; i < 6; ++i) values.integers[i] = get(kIntegerProperties[i]).intValue;
    for (std::size_t i = 0; i < 4; ++i) values.eventBits[i] = get(kEventBitProperties[i]).strValue;
    values.twp = get(kTwpProperty).boolValue;
    return values;
}

// Any manager with SetProperty: the host's view or the library's class.
template <typename Manager>
void Apply(Manager& manager, const ConfigValues& values)
{
    Zr::Kdt::Trace::PropertyValue value;
    const auto set = [&](const char* name) { EXPECT_TRUE(manager.SetProperty(name, value)) << name; };
    for (std::size_t i = 0; i < 6; ++i) {
        value.intValue = values.integers[i];
        set(kIntegerProperties[i]);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        value.strValue = values.eventBits[i];
        set(kEventBitProperties[i]);
    }
    value.boolValue = values.twp;
    set(kTwpProperty);
}

}  // namespace k4xtest
