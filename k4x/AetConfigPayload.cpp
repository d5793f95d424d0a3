#include "AetConfigPayload.h"

#include "K4xProperty.h"

#include <algorithm>
#include <cstring>

namespace {

// strlen that stops at the end of the bytes.
std::size_t BoundedLength(const char* text, std::size_t size)
{
    const void* nul = std::memchr(text, '\0', size);
    return nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : size;
}

const char kSeparators[] = "=\r\n\t";

// The general rule: tokens separated by runs of "=", CR, LF and tab,
// alternating name and value; a name without a value is dropped.
AetConfigPairs ParseTokens(const std::string& text)
{
    std::vector<std::string> tokens;
    std::size_t start = text.find_first_not_of(kSeparators);
    while (start != std::string::npos) {
        const std::size_t stop = text.find_first_of(kSeparators, start);
        tokens.push_back(text.substr(start, stop - start));
        start = stop == std::string::npos ? stop : text.find_first_not_of(kSeparators, stop);
    }
    AetConfigPairs pairs;
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2) pairs.emplace_back(tokens[i], tokens[i + 1]);
    return pairs;
}

// The writer's form: every line a property name, "=", and the value up to
// the line end. Separators before the value, and a tab or CR after it, are
// dropped as the token rule drops them; a trailing "=" stays, as the writer
// puts none there itself. An empty value and "=" inside a value only read
// back right this way.
bool ParseLines(const std::string& text, AetConfigPairs& pairs)
{
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.find('\n', start);
        if (stop == std::string::npos) stop = text.size();
        std::string line = text.substr(start, stop - start);
        start = stop + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || K4xProperty::Find(line.substr(0, equals)) == nullptr) return false;
        const std::size_t first = std::min(line.find_first_not_of(kSeparators, equals), line.size());
        const std::size_t last = line.find_last_not_of("\t\r");
        pairs.emplace_back(line.substr(0, equals), last < first ? std::string() : line.substr(first, last - first + 1));
    }
    return true;
}

}  // namespace

AetConfigPairs ParseAetConfigVersion2(const char* data, std::size_t size)
{
    // A NUL byte ends the text.
    const std::string text(data, BoundedLength(data, size));
    AetConfigPairs pairs;
    if (ParseLines(text, pairs)) return pairs;
    return ParseTokens(text);
}

AetConfigVersion1 ParseAetConfigVersion1(const unsigned char* data, std::size_t size)
{
    static const char* const kIntegerNames[] = {"Trace Mode", "Number of AEG", "Encoding Mode", "Memory Mode",
                                                "CEMU Status"};
    static const char* const kTextNames[] = {"Event Bit0", "Event Bit1", "Event Bit2", "Event Bit3"};
    AetConfigVersion1 payload;
    std::size_t offset = 0;
    for (const char* name : kIntegerNames) {
        if (size - offset < 4) return payload;
        const uint32_t bits = data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 |
                              static_cast<uint32_t>(data[offset + 3]) << 24;
        int32_t value;
        std::memcpy(&value, &bits, 4);
        payload.integers.emplace_back(name, value);
        offset += 4;
    }
    for (const char* name : kTextNames) {
        if (offset >= size) return payload;
        const char* text = reinterpret_cast<const char*>(data + offset);
        const std::size_t length = BoundedLength(text, size - offset);
        payload.eventBits.emplace_back(name, std::string(text, length));
        offset += length + 1;
    }
    return payload;
}
