// The properties that a manager answers, with the type it gives each, and
// the words that name the types.
#pragma once

#include "DeviceConfigManager.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace k4xhost {

struct Property {
    std::string name;  // made once, so that calls by a known name build no string
    uint32_t type;     // the library's type code
};
using PropertyList = std::vector<Property>;

// The properties of the library's table that the manager answers, in the
// order saves write them, each with the type that it reports.
PropertyList LearnProperties(Zr::Kdt::Trace::CDeviceConfigManager& manager);

// The property of that name, or null. Inline: it is on every C call's way.
inline const Property* FindProperty(const PropertyList& properties, const char* name)
{
    for (const Property& property : properties) {
        if (std::strcmp(property.name.c_str(), name) == 0) return &property;
    }
    return nullptr;
}

// "integer", "boolean", "text", or "type N" for a code the interface does
// not name.
std::string TypeWord(uint32_t type);

}  // namespace k4xhost
