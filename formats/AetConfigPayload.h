// The payloads of the "AETCONFIG" section of a TDF file.
//
// Version 2 is text: tokens separated by runs of "=", CR, LF and tab,
// alternating name and value; a NUL ends the text and a last name without a
// value is dropped. The writer puts each property on a line of its own:
// name, "=", the value, a line feed.
//
// Version 1 is an older binary form that is only read:
//
//   offset  size  field (integers: 32-bit signed little-endian)
//   0       4     "Trace Mode"
//   4       4     "Number of AEG"
//   8       4     "Encoding Mode"
//   12      4     "Memory Mode"
//   16      4     "CEMU Status"
//   20      ...   "Event Bit0" to "Event Bit3", each NUL-terminated
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace k4xformat {

using AetConfigPairs = std::vector<std::pair<std::string, std::string>>;

struct AetConfigVersion2 {
    AetConfigPairs pairs;            // what a load applies, in order
    std::vector<std::size_t> lines;  // the line of each pair's name, from 1
    // A last name without a value, which a load drops, and its line; "" for none.
    std::string dropped;
    std::size_t droppedLine = 0;
};

AetConfigVersion2 ParseAetConfigVersion2(const char* data, std::size_t size);

// One property as the writer puts it into a version 2 payload.
std::string FormatPayloadEntry(std::string_view name, const std::string& value);

// The protocol flag as a payload holds it: only the text 0 is false.
bool PayloadProtocol(std::string_view value);

struct Property;

// A version 1 payload, each field with its property. Fields that do not lie
// wholly inside the section are absent; a text without its NUL ends at the
// section's end.
struct AetConfigVersion1 {
    std::vector<std::pair<const Property*, int32_t>> integers;
    std::vector<std::pair<const Property*, std::string>> eventBits;
};

AetConfigVersion1 ParseAetConfigVersion1(const unsigned char* data, std::size_t size);

}  // namespace k4xformat
