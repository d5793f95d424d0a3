#include "PropertyList.h"

#include "K4xProperty.h"

namespace k4xhost {

using namespace Zr::Kdt::Trace;

PropertyList LearnProperties(CDeviceConfigManager& manager)
{
    PropertyList properties;
    for (const k4xformat::Property& property : k4xformat::AllProperties()) {
        const std::string name(property.name);
        PropertyValue value;
        if (manager.GetProperty(name, value)) properties.push_back({name, value.type});
    }
    return properties;
}

std::string TypeWord(uint32_t type)
{
    switch (type) {
    case PropertyType_Integer:
        return "integer";
    case PropertyType_Boolean:
        return "boolean";
    case PropertyType_Text:
        return "text";
    }
    return "type " + std::to_string(type);
}

}  // namespace k4xhost
