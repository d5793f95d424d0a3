// The version 1 AETCONFIG payload. No more fields than the form has, and
// every event-bit text is bytes of the section, one behind the other from
// offset 20, each ended by its NUL or by the section's end: a load never
// reads what the section does not hold. Which values a payload gives is
// pinned by the payload and load rows of tests/.
#include "AetConfigPayload.h"
#include "FuzzTarget.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const k4xformat::AetConfigVersion1 payload = k4xformat::ParseAetConfigVersion1(data, size);
    FuzzCheck(4 * payload.integers.size() <= size && payload.integers.size() <= 5 && payload.eventBits.size() <= 4,
              "more fields than the section or the form holds");
    std::size_t at = 20;
    for (const auto& [name, text] : payload.eventBits) {
        FuzzCheck(at < size && text.size() <= size - at && std::memcmp(text.data(), data + at, text.size()) == 0 &&
                      text.find('\0') == std::string::npos && (at + text.size() == size || data[at + text.size()] == 0),
                  "an event bit that is not the section's bytes up to a NUL");
        at += text.size() + 1;
    }
    return 0;
}
