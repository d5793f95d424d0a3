#include "ConfigCheck.h"

#include "PropertyText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace k4xtrace {

namespace {

using Zr::Kdt::Trace::PropertyType_Boolean;
using Zr::Kdt::Trace::PropertyType_Integer;

const char kReadOnly[] = "CycleModeDelta";

// What atoi makes of the text; false where that is undefined (out of range).
bool AtoiValue(const std::string& text, int32_t& number)
{
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    number = static_cast<int32_t>(parsed);
    return true;
}

// A whole number as the writer writes it: an optional sign and digits.
bool IsPlainInteger(const std::string& text)
{
    const std::size_t digits = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    int32_t ignored;
    return digits < text.size() && text.find_first_not_of("0123456789", digits) == std::string::npos &&
           AtoiValue(text, ignored);
}

std::string Folded(const std::string& text)
{
    const std::size_t first = std::min(text.find_first_not_of(" \r\n\t"), text.size());
    std::string folded = text.substr(first, text.find_last_not_of(" \r\n\t") + 1 - first);
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

class Checker {
public:
    Checker(StoredForm form, const PropertyTypes& types) : m_form(form), m_types(types) {}

    void Entry(const ConfigEntry& entry);
    void TooLong(std::size_t line, bool name);
    ConfigCheck Result()
    {
        if (m_stopped) m_result.values.clear();
        return std::move(m_result);
    }

private:
    void Unknown(const ConfigEntry& entry);
    void Value(const ConfigEntry& entry, uint32_t type);
    std::string IntegerValue(const ConfigEntry& entry);
    std::string ProtocolValue(const ConfigEntry& entry);
    void Problem(std::size_t line, const char* kind, const std::string& message, const std::string& suggestion = "");
    // The library's reaction to an entry it cannot take.
    const char* Consequence() const
    {
        return m_form == StoredForm_TextFile ? "the library stops loading here" : "the library ignores it";
    }

    StoredForm m_form;
    const PropertyTypes& m_types;
    ConfigCheck m_result;
    std::map<std::string, std::size_t> m_firstLine;
    bool m_stopped = false;
};

void Checker::Entry(const ConfigEntry& entry)
{
    if (!entry.hasValue)
        return Problem(entry.line, "no-value", JsonString(entry.name) + " has no value; the library drops it");
    const auto type = m_types.find(entry.name);
    if (type == m_types.end()) return Unknown(entry);
    const auto [first, isNew] = m_firstLine.emplace(entry.name, entry.line);
    if (!isNew) {
        Problem(entry.line, "duplicate",
                JsonString(entry.name) + " is set again (first on line " + std::to_string(first->second) +
                    "); the last one, on line " + std::to_string(entry.line) + ", wins");
    }
    Value(entry, type->second);
}

void Checker::Unknown(const ConfigEntry& entry)
{
    if (m_form == StoredForm_TextFile) m_stopped = true;
    if (entry.name == kReadOnly) {
        return Problem(entry.line, "read-only",
                       std::string("\"") + kReadOnly + "\" cannot be set from a file; " + Consequence());
    }
    const std::string suggestion = ClosestName(entry.name, m_types);
    std::string message = "unknown property " + JsonString(entry.name);
    if (entry.name.find('\n') != std::string::npos) {
        message += " (the name runs over a line end: an empty line or a line without \"=\" comes before it)";
    }
    message += "; " + std::string(Consequence());
    if (!suggestion.empty()) message += "; did you mean \"" + suggestion + "\"?";
    Problem(entry.line, "unknown-name", message, suggestion);
}

void Checker::Value(const ConfigEntry& entry, uint32_t type)
{
    if (type == PropertyType_Integer) {
        m_result.values[entry.name] = IntegerValue(entry);
    } else if (type == PropertyType_Boolean) {
        m_result.values[entry.name] = ProtocolValue(entry);
    } else {
        m_result.values[entry.name] = JsonString(entry.value);
    }
}

std::string Checker::IntegerValue(const ConfigEntry& entry)
{
    int32_t number = 0;
    if (!AtoiValue(entry.value, number)) {
        Problem(entry.line, "bad-value",
                JsonString(entry.value) + " is out of the 32-bit range of " + JsonString(entry.name));
        return "null";
    }
    if (!IsPlainInteger(entry.value)) {
        Problem(entry.line, "bad-value",
                JsonString(entry.value) + " is not a whole number; the library reads " + std::to_string(number));
    }
    return std::to_string(number);
}

// Text files hold the flag as a number (nonzero is true); in a payload only
// the text 0 is false.
std::string Checker::ProtocolValue(const ConfigEntry& entry)
{
    int32_t number = 0;
    const bool plain =
        m_form == StoredForm_TextFile ? IsPlainInteger(entry.value) : entry.value == "0" || entry.value == "1";
    const bool flag =
        m_form == StoredForm_TextFile ? AtoiValue(entry.value, number) && number != 0 : entry.value != "0";
    if (!plain) {
        Problem(entry.line, "bad-value",
                JsonString(entry.value) + " is not 1 or 0; the library reads " + (flag ? "true" : "false"));
    }
    return flag ? "true" : "false";
}

void Checker::TooLong(std::size_t line, bool name)
{
    m_stopped = true;
    Problem(line, "too-long",
            std::string(name ? "a name" : "a value") + " longer than " + std::to_string(kMaxTextField) +
                " characters; the library stops loading here");
}

void Checker::Problem(std::size_t line, const char* kind, const std::string& message, const std::string& suggestion)
{
    m_result.problems.push_back({line, kind, message, suggestion});
}

}  // namespace

ConfigCheck CheckEntries(const ConfigEntries& read, StoredForm form, const PropertyTypes& types)
{
    Checker checker(form, types);
    for (const ConfigEntry& entry : read.entries) checker.Entry(entry);
    if (read.tooLongLine != 0) checker.TooLong(read.tooLongLine, read.tooLongIsName);
    return checker.Result();
}

std::string ClosestName(const std::string& name, const PropertyTypes& types)
{
    std::string best;
    std::size_t bestDistance = SIZE_MAX;
    for (const auto& [known, type] : types) {
        const std::size_t distance = EditDistance(Folded(name), Folded(known));
        if (distance < bestDistance) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace k4xtrace
