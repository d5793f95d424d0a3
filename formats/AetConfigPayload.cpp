#include "AetConfigPayload.h"

#include "K4xProperty.h"
#include "TdfFormat.h"

#include <algorithm>
#include <cstring>

namespace k4xformat {

namespace {

// strlen that stops at the end of the bytes.
std::size_t BoundedLength(const char* text, std::size_t size)
{
    const void* nul = std::memchr(text, '\0', size);
    return nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : size;
}

const char kSeparators[] = "=\r\n\t";
constexpr std::size_t npos = std::string_view::npos;

// Where the two readings part. A payload of the writer's lines reads the
// same by the token rule unless a value is empty or an event-bit text holds
// a separator ("=", tab or CR; a line feed would end its line): the token
// rule then takes the next name as the empty value, or cuts the text, and
// every later pair shifts. Such payloads may be read line by line, and are,
// but only when they are wholly in the writer's form: every line a property
// name, "=", and a value in which nothing but an event-bit text holds a
// separator. The separators right behind the "=", and tabs and CRs at the
// line's end, belong to no value. Every other payload, such as
// "Trace Mode=5\tEncoding Mode=3\r", is read by the token rule.
bool ReadWritersLines(std::string_view text, AetConfigVersion2& payload)
{
    std::size_t line = 1;
    for (std::size_t start = 0; start < text.size(); ++line) {
        const std::size_t stop = std::min(text.find('\n', start), text.size());
        const std::string_view content = text.substr(start, stop - start);
        start = stop + 1;
        const std::size_t equals = content.find('=');
        const Property* property = equals == npos ? nullptr : FindProperty(content.substr(0, equals));
        if (property == nullptr) return false;
        const std::size_t first = std::min(content.find_first_not_of(kSeparators, equals), content.size());
        const std::size_t last = content.find_last_not_of("\t\r") + 1;  // the "=" is never trimmed
        const std::string_view value = content.substr(first, last > first ? last - first : 0);
        if (property->kind != Property::Kind_Text && value.find_first_of(kSeparators) != npos) return false;
        payload.pairs.emplace_back(property->name, value);
        payload.lines.push_back(line);
    }
    return true;
}

void ReadTokens(std::string_view text, AetConfigVersion2& payload)
{
    std::vector<std::pair<std::string_view, std::size_t>> tokens;  // each with its line
    std::size_t line = 1, counted = 0;
    for (std::size_t start = text.find_first_not_of(kSeparators); start != npos;) {
        const std::size_t stop = std::min(text.find_first_of(kSeparators, start), text.size());
        line += static_cast<std::size_t>(std::count(text.begin() + counted, text.begin() + start, '\n'));
        counted = start;
        tokens.emplace_back(text.substr(start, stop - start), line);
        start = text.find_first_not_of(kSeparators, stop);
    }
    std::size_t i = 0;
    for (; i + 1 < tokens.size(); i += 2) {
        payload.pairs.emplace_back(tokens[i].first, tokens[i + 1].first);
        payload.lines.push_back(tokens[i].second);
    }
    if (i < tokens.size()) {
        payload.dropped = tokens[i].first;
        payload.droppedLine = tokens[i].second;
    }
}

}  // namespace

AetConfigVersion2 ParseAetConfigVersion2(const char* data, std::size_t size)
{
    const std::string_view text(data, BoundedLength(data, size));
    AetConfigVersion2 payload;
    if (ReadWritersLines(text, payload)) return payload;
    payload = {};
    ReadTokens(text, payload);
    return payload;
}

std::string FormatPayloadEntry(std::string_view name, const std::string& value)
{
    return std::string(name) + "=" + value + "\n";
}

bool PayloadProtocol(std::string_view value) { return value != "0"; }

AetConfigVersion1 ParseAetConfigVersion1(const unsigned char* data, std::size_t size)
{
    // The fields in the order of the section.
    static const PropertyRow kIntegers[] = {Row_TraceMode, Row_NumberOfAeg, Row_EncodingMode, Row_MemoryMode,
                                            Row_CemuStatus};
    static const PropertyRow kTexts[] = {Row_EventBit0, Row_EventBit1, Row_EventBit2, Row_EventBit3};
    AetConfigVersion1 payload;
    std::size_t offset = 0;
    for (const PropertyRow row : kIntegers) {
        if (size - offset < 4) return payload;
        const uint32_t bits = k4xtdf::LoadU32(data + offset);
        int32_t value;
        std::memcpy(&value, &bits, 4);
        payload.integers.emplace_back(&PropertyAt(row), value);
        offset += 4;
    }
    for (const PropertyRow row : kTexts) {
        if (offset >= size) return payload;
        const char* text = reinterpret_cast<const char*>(data + offset);
        const std::size_t length = BoundedLength(text, size - offset);
        payload.eventBits.emplace_back(&PropertyAt(row), std::string(text, length));
        offset += length + 1;
    }
    return payload;
}

}  // namespace k4xformat
