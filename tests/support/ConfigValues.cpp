#include "ConfigValues.h"

using Zr::Kdt::Trace::PropertyValue;

namespace k4xtest {

namespace {

PropertyValue Get(Zr::Kdt::Trace::CDeviceConfigManager& manager, const char* name)
{
    PropertyValue value;
    EXPECT_TRUE(manager.GetProperty(name, value)) << name;
    return value;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ConfigValues& values)
{
    for (std::size_t i = 0; i < 6; ++i) out << kIntegerProperties[i] << '=' << values.integers[i] << "; ";
    for (std::size_t i = 0; i < 4; ++i) out << kEventBitProperties[i] << "=\"" << values.eventBits[i] << "\"; ";
    return out << kTwpProperty << '=' << values.twp;
}

ConfigValues Capture(Zr::Kdt::Trace::CDeviceConfigManager& manager)
{
    ConfigValues values;
    for (std::size_t i = 0; i < 6; ++i) values.integers[i] = Get(manager, kIntegerProperties[i]).intValue;
    for (std::size_t i = 0; i < 4; ++i) values.eventBits[i] = Get(manager, kEventBitProperties[i]).strValue;
    values.twp = Get(manager, kTwpProperty).boolValue;
    return values;
}

}  // namespace k4xtest
