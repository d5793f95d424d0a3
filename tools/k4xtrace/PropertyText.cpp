#include "PropertyText.h"

#include "PropertyList.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace k4xtrace {

namespace {

using Zr::Kdt::Trace::PropertyType_Boolean;
using Zr::Kdt::Trace::PropertyType_Integer;
using Zr::Kdt::Trace::PropertyType_Text;

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Decimal with an optional sign, or 0x hexadecimal; the whole text.
bool ParseInteger(const std::string& text, int32_t& number)
{
    if (text.empty() || text.find_first_of(" \t") != std::string::npos) return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    number = static_cast<int32_t>(parsed);
    return true;
}

bool ParseBoolean(const std::string& text, bool& flag)
{
    const std::string word = Lower(text);
    if (word == "true" || word == "1") {
        flag = true;
    } else if (word == "false" || word == "0") {
        flag = false;
    } else {
        return false;
    }
    return true;
}

// Escapes with the given quote conventions: C for people, JSON for scripts.
std::string Escaped(const std::string& text, bool json)
{
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, json ? "\\u%04x" : "\\x%02X", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

bool ParseValue(const std::string& text, PropertyValue& value, std::string& error)
{
    switch (value.type) {
    case PropertyType_Integer:
        if (ParseInteger(text, value.intValue)) return true;
        error = "not a 32-bit integer: " + text;
        return false;
    case PropertyType_Boolean:
        if (ParseBoolean(text, value.boolValue)) return true;
        error = "not a boolean (true, false, 1 or 0): " + text;
        return false;
    case PropertyType_Text:
        // A line end would end the entry early in every stored form.
        if (text.find_first_of("\r\n") == std::string::npos) {
            value.strValue = text;
            return true;
        }
        error = "a text value cannot hold a line end";
        return false;
    }
    error = "the library reported an unknown " + k4xhost::TypeWord(value.type);
    return false;
}

std::string DisplayValue(const PropertyValue& value)
{
    return value.type == PropertyType_Text ? Escaped(value.strValue, false) : PlainValue(value);
}

std::string PlainValue(const PropertyValue& value)
{
    switch (value.type) {
    case PropertyType_Boolean:
        return value.boolValue ? "true" : "false";
    case PropertyType_Text:
        return value.strValue;
    }
    return std::to_string(value.intValue);
}

std::string JsonValue(const PropertyValue& value)
{
    return value.type == PropertyType_Text ? JsonString(value.strValue) : PlainValue(value);
}

std::string JsonString(const std::string& text) { return Escaped(text, true); }

}  // namespace k4xtrace
