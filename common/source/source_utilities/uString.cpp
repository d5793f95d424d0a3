// String helpers: replacement, splitting and integer conversions.
#include "uString.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace ZR_KDT {

uString::error::error(const std::string& message) : source_utilities_error(message) {}

uString::error::~error() = default;

const char* uString::ReplaceAll(std::string& text, const char* pattern, const char* replacement)
{
    if (pattern == nullptr) throw error(std::string("unable to perform string replacement from null original text"));
    if (replacement == nullptr)
        throw error(std::string("unable to perform string replacement with null replacement text"));
    const std::size_t patternLength = std::strlen(pattern);
    const std::size_t replacementLength = std::strlen(replacement);
    // Guards against endless loops: an empty pattern changes nothing, and a
    // replacement holding the pattern at offset P or more resumes behind itself.
    if (patternLength == 0) return text.c_str();
    std::size_t at = text.find(pattern);
    if (at == std::string::npos) return text.c_str();
    const bool selfMatching = std::string(replacement).find(pattern, patternLength) != std::string::npos;
    const std::size_t step = selfMatching ? replacementLength : patternLength;
    for (; at != std::string::npos; at = text.find(pattern, at + step)) text.replace(at, patternLength, replacement);
    return text.c_str();
}

int uString::Split(const char* text, std::string& left, std::string& right, const char* delimiter)
{
    if (text == nullptr) throw error(std::string("unable to split null string"));
    if (delimiter == nullptr) throw error(std::string("unable to split with null delimeter"));
    const std::string copy(text);  // text may point into left or right
    const std::size_t at = copy.find(delimiter);
    if (at != std::string::npos) {
        left = copy.substr(0, at);
        right = copy.substr(at + std::strlen(delimiter));
        return 2;
    }
    left = copy;
    right.clear();
    return left.empty() ? 0 : 1;
}

namespace {

// Checks text and writes its digits to stream, switched to their base.
void PrepareNumeric(const char* text, std::stringstream& stream)
{
    if (text == nullptr) throw uString::error(std::string("unable to convert null string to numeric"));
    if (*text == '\0') throw uString::error(std::string("unable to convert empty string to numeric"));
    if (text[0] != '0') {
        stream << text;
    } else if (text[1] == '\0') {
        stream << 0;
    } else if (text[1] == 'x' || text[1] == 'X') {
        if (text[2] == '\0') {
            stream << 0;
        } else {
            stream.setf(std::ios::hex, std::ios::basefield);
            stream << (text + 2);
        }
    } else {
        stream.setf(std::ios::oct, std::ios::basefield);
        stream << (text + 1);
    }
}

// The decimal number that text begins with, for a text whose first
// character is a digit other than 0 and whose number has at most 19 digits:
// read as a stream reads it, without the stream's set-up.
bool ReadDecimal(const char* text, uint64_t& value)
{
    if (text == nullptr || *text < '1' || *text > '9') return false;
    value = 0;
    for (int digits = 0; *text >= '0' && *text <= '9'; ++text, ++digits) {
        if (digits == 19) return false;  // may not fit into 64 bits
        value = value * 10 + static_cast<uint64_t>(*text - '0');
    }
    return true;
}

}  // namespace

uint64_t uString::ToNumeric(const char* text)
{
    uint64_t value = 0;
    if (ReadDecimal(text, value)) return value;
    std::stringstream stream;
    PrepareNumeric(text, stream);
    stream >> value;
    return value;
}

// to_chars writes the digits without the C++ locale that a process's first
// stream sets up (more work than the whole first manager otherwise does).
std::string& uString::ToString(std::string& out, uint64_t value)
{
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    return out.append(digits, end.ptr);
}

const char* uString::FormatNumber(uint32_t value, std::string& out, const char* format)
{
    char buffer[1024];
    // snprintf never writes past the buffer; longer output is cut.
    if (std::snprintf(buffer, sizeof buffer, format, value) < 0) buffer[0] = '\0';
    out = buffer;
    return out.c_str();
}

}  // namespace ZR_KDT
