// The version 1 AETCONFIG payload. The integers are exactly the
// little-endian words the section holds; the texts lie inside the section,
// one behind the other, each ended by its NUL or by the section's end.
#include "AetConfigPayload.h"
#include "FuzzTarget.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t WordAt(const uint8_t* data, std::size_t at)
{
    uint32_t bits = 0;
    for (int byte = 3; byte >= 0; --byte) bits = bits << 8 | data[at + byte];
    int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void CheckIntegers(const K4xFormat::AetConfigVersion1& payload, const uint8_t* data, std::size_t size)
{
    static const char* const kNames[] = {"Trace Mode", "Number of AEG", "Encoding Mode", "Memory Mode", "CEMU Status"};
    FuzzCheck(payload.integers.size() == std::min<std::size_t>(5, size / 4), "wrong number of integers");
    for (std::size_t i = 0; i < payload.integers.size(); ++i) {
        FuzzCheck(std::strcmp(payload.integers[i].first, kNames[i]) == 0, "integer under the wrong name");
        FuzzCheck(payload.integers[i].second == WordAt(data, 4 * i), "integer differs from its bytes");
    }
}

void CheckTexts(const K4xFormat::AetConfigVersion1& payload, const uint8_t* data, std::size_t size)
{
    static const char* const kNames[] = {"Event Bit0", "Event Bit1", "Event Bit2", "Event Bit3"};
    FuzzCheck(payload.eventBits.size() <= 4, "more than four event bits");
    if (payload.integers.size() < 5) FuzzCheck(payload.eventBits.empty(), "event bits without all integers");
    std::size_t offset = 20;
    for (std::size_t i = 0; i < payload.eventBits.size(); ++i) {
        const std::string& text = payload.eventBits[i].second;
        FuzzCheck(std::strcmp(payload.eventBits[i].first, kNames[i]) == 0, "event bit under the wrong name");
        FuzzCheck(offset < size && text.size() <= size - offset, "event bit reaches outside the section");
        FuzzCheck(std::memcmp(text.data(), data + offset, text.size()) == 0, "event bit differs from its bytes");
        FuzzCheck(text.find('\0') == std::string::npos, "event bit holds a NUL");
        offset += text.size();
        FuzzCheck(offset == size || data[offset] == 0, "event bit stops before its NUL");
        ++offset;
    }
    if (payload.integers.size() == 5 && payload.eventBits.size() < 4) {
        FuzzCheck(offset >= size, "event bits stop before the section's end");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const K4xFormat::AetConfigVersion1 payload = K4xFormat::ParseAetConfigVersion1(data, size);
    CheckIntegers(payload, data, size);
    CheckTexts(payload, data, size);
    return 0;
}
