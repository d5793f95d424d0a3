#include "ConfigEntries.h"

#include <algorithm>

namespace k4xtrace {

namespace {

const char kTokenSeparators[] = "=\r\n\t";

std::size_t LineEnds(const std::string& text, std::size_t from, std::size_t to)
{
    return static_cast<std::size_t>(std::count(text.begin() + from, text.begin() + to, '\n'));
}

std::string WithoutCarriageReturnsBeforeLineFeeds(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') text += bytes[i];
    }
    return text;
}

// One field up to the delimiter (consumed) or the end; false when too long.
bool TextField(const std::string& text, std::size_t& pos, char delimiter, std::string& field)
{
    const std::size_t stop = std::min(text.find(delimiter, pos), text.size());
    if (stop - pos > kMaxTextField) return false;
    field.assign(text, pos, stop - pos);
    pos = std::min(stop + 1, text.size());
    return true;
}

bool ReadByLines(const std::string& text, const std::function<bool(const std::string&)>& isName, ConfigEntries& result)
{
    std::size_t line = 1;
    for (std::size_t start = 0; start < text.size(); ++line) {
        const std::size_t stop = std::min(text.find('\n', start), text.size());
        const std::string content = text.substr(start, stop - start);
        start = stop + 1;
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos || !isName(content.substr(0, equals))) return false;
        const std::size_t first = std::min(content.find_first_not_of(kTokenSeparators, equals), content.size());
        const std::size_t last = content.find_last_not_of("\t\r");
        const std::string value = last < first ? std::string() : content.substr(first, last - first + 1);
        result.entries.push_back({line, content.substr(0, equals), value});
    }
    return true;
}

void ReadByTokens(const std::string& text, ConfigEntries& result)
{
    bool wantName = true;
    std::size_t start = text.find_first_not_of(kTokenSeparators);
    while (start != std::string::npos) {
        const std::size_t stop = std::min(text.find_first_of(kTokenSeparators, start), text.size());
        const std::string token = text.substr(start, stop - start);
        if (wantName) {
            result.entries.push_back({1 + LineEnds(text, 0, start), token, std::string(), false});
        } else {
            result.entries.back().value = token;
            result.entries.back().hasValue = true;
        }
        wantName = !wantName;
        start = text.find_first_not_of(kTokenSeparators, stop);
    }
}

}  // namespace

ConfigEntries ReadTextEntries(const std::string& bytes)
{
    const std::string text = WithoutCarriageReturnsBeforeLineFeeds(bytes);
    ConfigEntries result;
    std::size_t line = 1;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t nameLine = line;
        const std::size_t nameStart = pos;
        std::string name, value;
        if (!TextField(text, pos, '=', name)) {
            result.tooLongLine = nameLine;
            result.tooLongIsName = true;
            break;
        }
        line += LineEnds(text, nameStart, pos);
        // A line that starts with "=": its rest begins the next name.
        if (name.empty()) continue;
        const std::size_t valueStart = pos;
        if (!TextField(text, pos, '\n', value)) {
            result.tooLongLine = line;
            break;
        }
        line += LineEnds(text, valueStart, pos);
        value.erase(0, std::min(value.find_first_not_of(" ="), value.size()));
        const std::size_t keep = name.find_last_not_of(" =");
        name.erase(keep == std::string::npos ? 0 : keep + 1);
        if (!name.empty()) result.entries.push_back({nameLine, name, value});
    }
    return result;
}

ConfigEntries ReadPayloadEntries(const std::string& bytes, const std::function<bool(const std::string&)>& isName)
{
    const std::string text = bytes.substr(0, bytes.find('\0'));
    ConfigEntries result;
    result.byLines = ReadByLines(text, isName, result);
    if (!result.byLines) {
        result.entries.clear();
        ReadByTokens(text, result);
    }
    return result;
}

}  // namespace k4xtrace
