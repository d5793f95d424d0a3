// String helpers shared by the library: replacement, splitting and
// conversions between integers and text. Misuse throws uString::error.
#pragma once

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <type_traits>

#include "source_utilities_error.h"

namespace ZR_KDT {

class uString {
public:
    class error : public source_utilities_error {
    public:
        explicit error(const std::string& message);
        ~error() override;
    };

    uString() = delete;

    // Replaces each occurrence of pattern, resuming the search P bytes after
    // the start of each match (P = pattern length): "a.dll.dll", ".dll", ""
    // => "a.dll". Returns text's characters.
    static const char* ReplaceAll(std::string& text, const char* pattern, const char* replacement);

    // Splits text at the first delimiter: 2 when found, else 1 for a
    // non-empty text (left = text, right = "") and 0 for an empty one. text
    // may be the characters of left or right.
    static int Split(const char* text, std::string& left, std::string& right, const char* delimiter);

    // "0x1F" => 31 (hex), "010" => 8 (octal), "12abc" => 12, "abc" => 0.
    // Reading stops at the first character that is not a digit of the base;
    // an out-of-range value gives the type's limit.
    template <typename T>
    static T ToNumeric(const char* text);

    // Appends value's text, written by a stream with the non-zero options
    // applied; blank padding is dropped, other fill characters stay.
    template <typename T>
    static std::string& ToString(std::string& out, T value, int32_t flags, int32_t precision, int32_t width, char fill);

    // printf-style with format, "%d" when null; output beyond 1023 bytes is cut.
    static const char* FormatNumber(uint32_t value, std::string& out, bool append, const char* format);

private:
    // The decimal number that text begins with, for a text whose first
    // character is a digit other than 0 and whose number has at most 19
    // digits: read as a stream reads it, without the stream's set-up.
    static bool ReadDecimal(const char* text, uint64_t& value);
    // Checks text and writes its digits to stream, switched to their base.
    static void PrepareNumeric(const char* text, std::stringstream& stream);
};

template <typename T>
T uString::ToNumeric(const char* text)
{
    static_assert(std::is_integral<T>::value, "ToNumeric converts to integer types");
    // A single byte is read as a number, not as a character.
    using Read = std::conditional_t<sizeof(T) == 1, std::conditional_t<std::is_signed<T>::value, int32_t, uint32_t>, T>;
    uint64_t decimal = 0;
    if (ReadDecimal(text, decimal) && decimal <= static_cast<uint64_t>(std::numeric_limits<Read>::max()))
        return static_cast<T>(static_cast<Read>(decimal));
    std::stringstream stream;
    PrepareNumeric(text, stream);
    Read value = 0;
    stream >> value;
    return static_cast<T>(value);
}

extern template std::string& uString::ToString<int32_t>(std::string&, int32_t, int32_t, int32_t, int32_t, char);
extern template std::string& uString::ToString<uint32_t>(std::string&, uint32_t, int32_t, int32_t, int32_t, char);
extern template std::string& uString::ToString<uint64_t>(std::string&, uint64_t, int32_t, int32_t, int32_t, char);

}  // namespace ZR_KDT
