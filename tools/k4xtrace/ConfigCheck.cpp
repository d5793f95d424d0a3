#include "ConfigCheck.h"

#include "AetConfigPayload.h"
#include "K4xProperty.h"
#include "K4xTextFormat.h"
#include "PropertyText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace k4xtrace {

namespace {

using k4xformat::Property;
using k4xformat::TextReader;

enum StoredForm { StoredForm_TextFile, StoredForm_Payload };

// An optional sign and digits, as the writer writes a number.
bool IsWholeNumber(const std::string& text)
{
    const std::size_t digits = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    return digits < text.size() && text.find_first_not_of("0123456789", digits) == std::string::npos;
}

bool FitsInt32(const std::string& text)
{
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && parsed >= INT32_MIN && parsed <= INT32_MAX;
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

// Judges the entries that a load applies, in the order it applies them, and
// the entry where it stops; the values come from the library's own rules.
class Checker {
public:
    explicit Checker(StoredForm form) : m_form(form) {}

    void Entry(const Property& property, const std::string& value, std::size_t line);
    void Unknown(const std::string& name, std::size_t line);
    void TooLong(std::size_t line, bool name);
    void NoValue(const std::string& name, std::size_t line);
    ConfigCheck Result() { return std::move(m_result); }

private:
    std::string IntegerValue(const std::string& name, const std::string& value, std::size_t line);
    std::string ProtocolValue(const std::string& value, std::size_t line);
    void Problem(std::size_t line, const char* kind, const std::string& message, const std::string& suggestion = "");
    // The library's reaction to a name it cannot take.
    const char* Consequence() const
    {
        return m_form == StoredForm_TextFile ? "the library stops loading here" : "the library ignores it";
    }

    StoredForm m_form;
    ConfigCheck m_result;
    std::map<std::string, std::size_t> m_firstLine;
};

void Checker::Entry(const Property& property, const std::string& value, std::size_t line)
{
    const std::string name(property.name);
    const auto [first, isNew] = m_firstLine.emplace(name, line);
    if (!isNew) {
        Problem(line, "duplicate",
                JsonString(name) + " is set again (first on line " + std::to_string(first->second) +
                    "); the last one, on line " + std::to_string(line) + ", wins");
    }
    switch (property.kind) {
    case Property::Kind_Integer:
        m_result.values[name] = IntegerValue(name, value, line);
        break;
    case Property::Kind_Protocol:
        m_result.values[name] = ProtocolValue(value, line);
        break;
    case Property::Kind_Text:
    case Property::Kind_CycleModeDelta:
        m_result.values[name] = JsonString(value);
        break;
    }
}

void Checker::Unknown(const std::string& name, std::size_t line)
{
    // In the table, but held by no file: "CycleModeDelta".
    if (k4xformat::FindProperty(name) != nullptr) {
        return Problem(line, "read-only", "\"" + name + "\" cannot be set from a file; " + Consequence());
    }
    const std::string suggestion = ClosestName(name);
    std::string message = "unknown property " + JsonString(name);
    if (name.find('\n') != std::string::npos) {
        message += " (the name runs over a line end: an empty line or a line without \"=\" comes before it)";
    }
    message += "; " + std::string(Consequence()) + "; did you mean \"" + suggestion + "\"?";
    Problem(line, "unknown-name", message, suggestion);
}

std::string Checker::IntegerValue(const std::string& name, const std::string& value, std::size_t line)
{
    std::string number = std::to_string(k4xformat::AtoiOf(value));
    if (!IsWholeNumber(value)) {
        Problem(line, "bad-value", JsonString(value) + " is not a whole number; the library reads " + number);
    } else if (!FitsInt32(value)) {
        Problem(
            line, "bad-value",
            JsonString(value) + " is out of the 32-bit range of " + JsonString(name) + "; the library reads " + number);
    }
    return number;
}

// Text files hold the flag as a number (nonzero is true); in a payload only
// the text 0 is false.
std::string Checker::ProtocolValue(const std::string& value, std::size_t line)
{
    const bool text = m_form == StoredForm_TextFile;
    const bool plain = text ? IsWholeNumber(value) && FitsInt32(value) : value == "0" || value == "1";
    const bool flag = text ? k4xformat::TextFileProtocol(value) : k4xformat::PayloadProtocol(value);
    if (!plain) {
        Problem(line, "bad-value",
                JsonString(value) + " is not 1 or 0; the library reads " + (flag ? "true" : "false"));
    }
    return flag ? "true" : "false";
}

void Checker::TooLong(std::size_t line, bool name)
{
    Problem(line, "too-long",
            std::string(name ? "a name" : "a value") + " longer than " + std::to_string(TextReader::kMaxField) +
                " characters; the library stops loading here");
}

void Checker::NoValue(const std::string& name, std::size_t line)
{
    Problem(line, "no-value", JsonString(name) + " has no value; the library drops it");
}

void Checker::Problem(std::size_t line, const char* kind, const std::string& message, const std::string& suggestion)
{
    m_result.problems.push_back({line, kind, message, suggestion});
}

}  // namespace

ConfigCheck CheckTextConfiguration(std::string bytes)
{
    Checker checker(StoredForm_TextFile);
    TextReader reader(std::move(bytes));
    k4xformat::TextEntry entry;
    TextReader::Result result;
    while ((result = reader.Next(entry)) == TextReader::Result_Entry)
        checker.Entry(*entry.property, std::string(entry.value), reader.LineOf(entry.name));
    if (result == TextReader::Result_UnknownName) checker.Unknown(std::string(entry.name), reader.LineOf(entry.name));
    if (result == TextReader::Result_NameTooLong) checker.TooLong(reader.LineOf(entry.name), true);
    if (result == TextReader::Result_ValueTooLong) checker.TooLong(reader.LineOf(entry.value), false);
    return checker.Result();
}

ConfigCheck CheckPayload(const std::vector<char>& data)
{
    Checker checker(StoredForm_Payload);
    const k4xformat::AetConfigVersion2 payload = k4xformat::ParseAetConfigVersion2(data.data(), data.size());
    for (std::size_t i = 0; i < payload.pairs.size(); ++i) {
        const auto& [name, value] = payload.pairs[i];
        const Property* property = k4xformat::FindStoredProperty(name);
        if (property != nullptr) {
            checker.Entry(*property, value, payload.lines[i]);
        } else {
            checker.Unknown(name, payload.lines[i]);
        }
    }
    if (!payload.dropped.empty()) checker.NoValue(payload.dropped, payload.droppedLine);
    return checker.Result();
}

std::string ClosestName(const std::string& name)
{
    std::string best;
    std::size_t bestDistance = SIZE_MAX;
    for (const Property& property : k4xformat::StoredProperties()) {
        const std::string known(property.name);
        const std::size_t distance = EditDistance(Folded(name), Folded(known));
        // Ties go to the name that sorts first.
        if (distance < bestDistance || (distance == bestDistance && known < best)) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace k4xtrace
