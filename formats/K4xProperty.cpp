#include "K4xProperty.h"

#include "DeviceConfigManager.h"

namespace k4xformat {

namespace {

using Zr::Kdt::Trace::PropertyType_Boolean;
using Zr::Kdt::Trace::PropertyType_Integer;
using Zr::Kdt::Trace::PropertyType_Text;

// Every row but the last, "CycleModeDelta".
constexpr std::size_t kStoredCount = Row_CycleModeDelta;

// Save order first; "CycleModeDelta" last, as no file holds it.
constexpr Property kTable[kStoredCount + 1] = {
    {"Trace Mode", Property::Kind_Integer, PropertyType_Integer, 0},
    {"Encoding Mode", Property::Kind_Integer, PropertyType_Integer, 1},
    {"Sync Frequency", Property::Kind_Integer, PropertyType_Integer, 2},
    {"Number of AEG", Property::Kind_Integer, PropertyType_Integer, 3},
    {"Memory Mode", Property::Kind_Integer, PropertyType_Integer, 4},
    {"CEMU Status", Property::Kind_Integer, PropertyType_Integer, 5},
    {"Event Bit0", Property::Kind_Text, PropertyType_Text, 0},
    {"Event Bit1", Property::Kind_Text, PropertyType_Text, 1},
    {"Event Bit2", Property::Kind_Text, PropertyType_Text, 2},
    {"Event Bit3", Property::Kind_Text, PropertyType_Text, 3},
    {"TWP_Protocol", Property::Kind_Protocol, PropertyType_Boolean, 0},
    {"CycleModeDelta", Property::Kind_CycleModeDelta, PropertyType_Boolean, 0},
};

static_assert(kTable[Row_EncodingMode].name == "Encoding Mode" && kTable[Row_NumberOfAeg].name == "Number of AEG" &&
                  kTable[Row_EventBit0].name == "Event Bit0" && kTable[Row_TwpProtocol].name == "TWP_Protocol",
              "PropertyRow names the table's rows in order");

}  // namespace

const Property& PropertyAt(PropertyRow row) { return kTable[row]; }

PropertyRange AllProperties() { return {kTable, kTable + kStoredCount + 1}; }

PropertyRange StoredProperties() { return {kTable, kTable + kStoredCount}; }

const Property* FindProperty(std::string_view name)
{
    for (const Property& property : kTable) {
        if (name == property.name) return &property;
    }
    return nullptr;
}

const Property* FindStoredProperty(std::string_view name)
{
    const Property* property = FindProperty(name);
    return property != nullptr && property->kind != Property::Kind_CycleModeDelta ? property : nullptr;
}

}  // namespace k4xformat
