// String helpers shared by the library: replacement, splitting and
// conversions between integers and text. Misuse throws uString::error.
#pragma once

#include <cstdint>
#include <string>

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
    // an out-of-range value gives the largest value.
    static uint64_t ToNumeric(const char* text);

    // Appends value's decimal digits: 126 => "126".
    static std::string& ToString(std::string& out, uint64_t value);

    // Replaces out with value printed by the printf-style format; output
    // beyond 1023 bytes is cut.
    static const char* FormatNumber(uint32_t value, std::string& out, const char* format);
};

}  // namespace ZR_KDT
