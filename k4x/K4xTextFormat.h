// The text configuration format: one entry per line, name "=" value.
//
// As the reader sees it:
//   - A name is everything up to the next "="; line ends are ordinary
//     characters there, so a name may run across lines. Trailing blanks and
//     "=" are trimmed from the name; leading characters never are.
//   - The value is the rest of the line after that "=", up to a line feed
//     (consumed) or the end of the text. Leading "=" and blanks are trimmed;
//     tabs and trailing blanks stay.
//   - There are no comments, sections, quotes or escapes.
//   - A name and a value hold at most 1023 characters each.
// The writer puts name, " = ", value and a line feed on each line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class K4xTextReader {
public:
    enum Result {
        Result_Entry,    // name and value show the next entry; name may be empty
        Result_End,      // the text is used up
        Result_TooLong,  // a name or value exceeds kMaxField; reading stops here
    };

    static constexpr std::size_t kMaxField = 1023;

    // text is the file's bytes; a carriage return before a line feed is
    // part of the line end, as text mode reads it on Windows.
    explicit K4xTextReader(std::string text);

    // name and value are views into the reader's text, valid while the
    // reader lives: nothing is copied.
    Result Next(std::string_view& name, std::string_view& value);

private:
    bool ReadUpTo(char delimiter, std::string_view& field);

    std::string m_text;
    std::size_t m_pos = 0;
};

// atoi of a text that need not end in a NUL.
int AtoiOf(std::string_view text);

// One line of the text file, or "" when it would not fit the writer's
// 1024-byte line buffer (terminator included).
std::string FormatTextLine(std::string_view name, const std::string& value);
