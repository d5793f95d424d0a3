// The entries of a stored configuration as the library reads them, each
// with the line it starts on, so that a checker can point at it.
//   Text file (settings, text and .dcm files): a name runs up to the next
//   "=" (line ends included) and loses trailing blanks and "="; the value
//   runs to the line feed and loses leading blanks and "="; a carriage
//   return before a line feed is part of the line end; names and values
//   hold at most 1023 characters, and reading stops at a longer one.
//   AETCONFIG payload (version 2): a NUL ends the text. When every line is
//   a property name, "=" and a value, it is read line by line; otherwise as
//   tokens separated by runs of "=", CR, LF and tab, alternating name and
//   value, where a last name without a value is dropped.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace k4xtrace {

struct ConfigEntry {
    std::size_t line;
    std::string name;
    std::string value;
    bool hasValue = true;  // false: a payload's last name, which is dropped
};

struct ConfigEntries {
    std::vector<ConfigEntry> entries;
    // Text files: the line of a name or value too long to read, where the
    // library stops; 0 when there is none.
    std::size_t tooLongLine = 0;
    bool tooLongIsName = false;
    // Payloads: read line by line (true) or as tokens.
    bool byLines = false;
};

constexpr std::size_t kMaxTextField = 1023;

ConfigEntries ReadTextEntries(const std::string& bytes);

// isName tells the property names that the line form requires.
ConfigEntries ReadPayloadEntries(const std::string& bytes, const std::function<bool(const std::string&)>& isName);

}  // namespace k4xtrace
