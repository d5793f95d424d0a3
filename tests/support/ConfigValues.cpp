#include "ConfigValues.h"

namespace k4xtest {

std::ostream& operator<<(std::ostream& out, const ConfigValues& values)
{
    for (const int32_t value : values.integers) out << value << "; ";
    for (const std::string& text : values.eventBits) out << '"' << text << "\"; ";
    return out << values.twp;
}

ConfigValues Capture(Zr::Kdt::Trace::CDeviceConfigManager& manager)
{
    ConfigValues values;
    Zr::Kdt::Trace::PropertyValue value;
    const auto get = [&](const char* name) -> const Zr::Kdt::Trace::PropertyValue& {
        EXPECT_TRUE(manager.GetProperty(name, value)) << name;
        return value;
    };
    for (std::size_t i = 0; i < 6; ++i) values.integers[i] = get(kIntegerProperties[i]).intValue;
    for (std::size_t i = 0; i < 4; ++i) values.eventBits[i] = get(kEventBitProperties[i]).strValue;
    values.twp = get(kTwpProperty).boolValue;
    return values;
}

}  // namespace k4xtest
