// The fixed table of K4x trace properties: names, kinds and the type codes
// that GetProperty reports, in the order in which saves write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace k4xformat {

struct Property {
    enum Kind {
        Kind_Integer,         // signed 32-bit, type code 2
        Kind_Text,            // event bits, type code 6
        Kind_Protocol,        // "TWP_Protocol", type code 5
        Kind_CycleModeDelta,  // type code 5, read-only, held by no file
    };

    std::string_view name;
    Kind kind;
    uint32_t type;     // the PropertyType code
    std::size_t slot;  // its place among the properties of its kind
};

// The table's rows, in its order.
enum PropertyRow {
    Row_TraceMode,
    Row_EncodingMode,
    Row_SyncFrequency,
    Row_NumberOfAeg,
    Row_MemoryMode,
    Row_CemuStatus,
    Row_EventBit0,
    Row_EventBit1,
    Row_EventBit2,
    Row_EventBit3,
    Row_TwpProtocol,
    Row_CycleModeDelta,
};

// The property of the row.
const Property& PropertyAt(PropertyRow row);

// A run of the table, for range-for.
struct PropertyRange {
    const Property* first;
    const Property* last;
    const Property* begin() const { return first; }
    const Property* end() const { return last; }
};

// All twelve: the eleven that files hold, in save order, then "CycleModeDelta".
PropertyRange AllProperties();
// The eleven that files hold, in save order.
PropertyRange StoredProperties();

// The property with exactly this name (same length, same bytes), or null.
const Property* FindProperty(std::string_view name);
// The same among the properties that files hold: null for "CycleModeDelta".
const Property* FindStoredProperty(std::string_view name);

}  // namespace k4xformat
