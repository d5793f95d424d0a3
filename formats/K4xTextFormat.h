// The text configuration format: one entry per line, name "=" value.
//
// As the reader sees it:
//   - The bytes read as text mode reads them: a carriage return before a
//     line feed is part of the line end, and where the platform's text mode
//     ends a text at a 0x1A byte (Windows), the text ends there.
//   - A name is everything up to the next "="; line ends are ordinary
//     characters there, so a name may run across lines. Trailing blanks and
//     "=" are trimmed from the name; leading characters never are.
//   - The value is the rest of the line after that "=", up to a line feed
//     (consumed) or the end of the text. Leading "=" and blanks are trimmed;
//     tabs and trailing blanks stay.
//   - A name trimmed to nothing is passed over with its value; an empty name
//     (a line that starts with "=") has no value: the rest of its line
//     begins the next name.
//   - Every other name must be a property that files hold; a load stops at
//     the first that is not.
//   - There are no comments, sections, quotes or escapes.
//   - A name and a value hold at most 1023 characters each; a load stops at
//     a longer one.
// The writer puts name, " = ", value and a line feed on each line.
#pragma once

#include "K4xProperty.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace k4xformat {

struct TextEntry {
    std::string_view name;               // views into the reader's text, valid
    std::string_view value;              // while the reader lives
    const Property* property = nullptr;  // null when no file may hold the name
};

class TextReader {
public:
    enum Result {
        Result_Entry,         // a property and its value
        Result_UnknownName,   // a name that no file holds: a load stops here
        Result_NameTooLong,   // a name or a value over kMaxField (entry.name or
        Result_ValueTooLong,  // entry.value starts there): a load stops here
        Result_End,           // the text is used up
    };

    static constexpr std::size_t kMaxField = 1023;

    // bytes: the file as stored.
    explicit TextReader(std::string bytes);

    Result Next(TextEntry& entry);

    // The line, counted from 1, on which a field of an entry starts. Asked in
    // the order of the text; counted only when asked, so a load pays nothing.
    std::size_t LineOf(std::string_view field);

private:
    bool ReadUpTo(char delimiter, std::string_view& field);

    std::string m_text;
    std::size_t m_pos = 0;
    std::size_t m_counted = 0;  // line feeds before here are in m_line
    std::size_t m_line = 1;
};

// atoi of a text that need not end in a NUL.
int AtoiOf(std::string_view text);

// The protocol flag as a text file holds it: a number, nonzero is true.
bool TextFileProtocol(std::string_view value);

// One line of the text file, or "" when it would not fit the writer's
// 1024-byte line buffer (terminator included).
std::string FormatTextLine(std::string_view name, const std::string& value);

}  // namespace k4xformat
