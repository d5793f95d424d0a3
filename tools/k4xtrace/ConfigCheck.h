// k4xtrace check: every problem of a stored configuration, each with its
// line, judged by the library's own reading code (the formats unit) up to
// where a load stops, and each saying what the library does with it.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace k4xtrace {

struct ConfigProblem {
    std::size_t line;  // 0: the file as a whole
    std::string kind;  // unknown-name, read-only, bad-value, too-long, duplicate, no-value, unreadable
    std::string message;
    std::string suggestion;  // the closest property name, for unknown names
};

struct ConfigCheck {
    std::vector<ConfigProblem> problems;
    // What the library holds after the load, for the properties the load
    // sets before it ends or stops, as JSON values.
    std::map<std::string, std::string> values;
};

// A text configuration (settings, text or .dcm file), given its bytes.
ConfigCheck CheckTextConfiguration(std::string bytes);

// The data of a version 2 AETCONFIG section.
ConfigCheck CheckPayload(const std::vector<char>& data);

// The property name that files hold closest to name (by edits, ignoring
// case and blanks at the ends).
std::string ClosestName(const std::string& name);

}  // namespace k4xtrace
