// The payloads of the "AETCONFIG" section of a TDF file.
//
// Version 2 is text: name "=" value, one pair per line, as the writer
// produces it. Version 1 is an older binary form that is only read:
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
#include <utility>
#include <vector>

using AetConfigPairs = std::vector<std::pair<std::string, std::string>>;

// The name and value pairs of a version 2 payload, in order.
AetConfigPairs ParseAetConfigVersion2(const char* data, std::size_t size);

// A version 1 payload. Fields that do not lie wholly inside the section
// are absent; a text without its NUL ends at the section's end.
struct AetConfigVersion1 {
    std::vector<std::pair<const char*, int32_t>> integers;
    std::vector<std::pair<const char*, std::string>> eventBits;
};

AetConfigVersion1 ParseAetConfigVersion1(const unsigned char* data, std::size_t size);
