#include "K4xTextFormat.h"

#include "Platform.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace k4xformat {

namespace {

// In place: a text without carriage returns, the usual case on POSIX, is
// neither copied nor rewritten.
std::string AsTextMode(std::string text)
{
    if (k4xplatform::kTextEndsAtCtrlZ) text.resize(std::min(text.find('\x1A'), text.size()));
    std::size_t out = text.find('\r');
    if (out == std::string::npos) return text;
    for (std::size_t in = out; in < text.size(); ++in) {
        if (text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n') continue;
        text[out++] = text[in];
    }
    text.resize(out);
    return text;
}

void TrimNameEnd(std::string_view& name)
{
    while (!name.empty() && (name.back() == ' ' || name.back() == '=')) name.remove_suffix(1);
}

void TrimValueStart(std::string_view& value)
{
    while (!value.empty() && (value.front() == ' ' || value.front() == '=')) value.remove_prefix(1);
}

}  // namespace

TextReader::TextReader(std::string bytes) : m_text(AsTextMode(std::move(bytes))) {}

// Reads up to the delimiter (consumed) or the end of the text; false when
// the field would exceed kMaxField characters, which then starts field.
bool TextReader::ReadUpTo(char delimiter, std::string_view& field)
{
    const std::size_t stop = std::min(m_text.find(delimiter, m_pos), m_text.size());
    field = std::string_view(m_text).substr(m_pos, stop - m_pos);
    if (field.size() > kMaxField) return false;
    m_pos = std::min(stop + 1, m_text.size());
    return true;
}

TextReader::Result TextReader::Next(TextEntry& entry)
{
    entry = {};
    while (m_pos < m_text.size()) {
        if (!ReadUpTo('=', entry.name)) return Result_NameTooLong;
        if (entry.name.empty()) continue;
        if (!ReadUpTo('\n', entry.value)) return Result_ValueTooLong;
        TrimValueStart(entry.value);
        TrimNameEnd(entry.name);
        if (entry.name.empty()) continue;
        entry.property = FindStoredProperty(entry.name);
        return entry.property != nullptr ? Result_Entry : Result_UnknownName;
    }
    return Result_End;
}

std::size_t TextReader::LineOf(std::string_view field)
{
    const std::size_t at = static_cast<std::size_t>(field.data() - m_text.data());
    m_line += static_cast<std::size_t>(std::count(m_text.data() + m_counted, m_text.data() + at, '\n'));
    m_counted = at;
    return m_line;
}

int AtoiOf(std::string_view text)
{
    char digits[64];
    if (text.size() >= sizeof digits) return std::atoi(std::string(text).c_str());
    text.copy(digits, text.size());
    digits[text.size()] = '\0';
    return std::atoi(digits);
}

bool TextFileProtocol(std::string_view value) { return AtoiOf(value) != 0; }

std::string FormatTextLine(std::string_view name, const std::string& value)
{
    const std::string line = std::string(name) + " = " + value + "\n";
    return line.size() <= TextReader::kMaxField ? line : std::string();
}

}  // namespace k4xformat
