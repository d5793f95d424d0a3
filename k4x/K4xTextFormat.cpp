#include "K4xTextFormat.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// In place: a text without carriage returns, the usual case on POSIX, is
// neither copied nor rewritten.
std::string FoldLineEnds(std::string text)
{
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

K4xTextReader::K4xTextReader(std::string text) : m_text(FoldLineEnds(std::move(text))) {}

// Reads up to the delimiter (consumed) or the end of the text; false when
// the field would exceed kMaxField characters.
bool K4xTextReader::ReadUpTo(char delimiter, std::string_view& field)
{
    const std::size_t stop = std::min(m_text.find(delimiter, m_pos), m_text.size());
    if (stop - m_pos > kMaxField) return false;
    field = std::string_view(m_text).substr(m_pos, stop - m_pos);
    m_pos = std::min(stop + 1, m_text.size());
    return true;
}

K4xTextReader::Result K4xTextReader::Next(std::string_view& name, std::string_view& value)
{
    name = {};
    value = {};
    if (m_pos >= m_text.size()) return Result_End;
    if (!ReadUpTo('=', name)) return Result_TooLong;
    // An empty name (a line starting with "=") has no value of its own:
    // the rest of the line becomes the start of the next name.
    if (name.empty()) return Result_Entry;
    if (!ReadUpTo('\n', value)) return Result_TooLong;
    TrimValueStart(value);
    TrimNameEnd(name);
    return Result_Entry;
}

int AtoiOf(std::string_view text)
{
    char digits[64];
    if (text.size() >= sizeof digits) return std::atoi(std::string(text).c_str());
    text.copy(digits, text.size());
    digits[text.size()] = '\0';
    return std::atoi(digits);
}

std::string FormatTextLine(std::string_view name, const std::string& value)
{
    std::string line = std::string(name) + " = " + value + "\n";
    return line.size() <= K4xTextReader::kMaxField ? line : std::string();
}
