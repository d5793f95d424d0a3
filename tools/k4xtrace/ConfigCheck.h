// k4xtrace check: every problem of a stored configuration at once, each
// with its line, judged by the rules the library reads it with.
#pragma once

#include "ConfigEntries.h"
#include "DeviceConfigManager.h"

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

// The property names that files hold and their type codes, as the library
// reports them; "CycleModeDelta", which no file holds, is not among them.
using PropertyTypes = std::map<std::string, uint32_t>;

struct ConfigCheck {
    std::vector<ConfigProblem> problems;
    // What the library holds after the load, for the properties it sets
    // (empty when the load stops early), as JSON values.
    std::map<std::string, std::string> values;
};

enum StoredForm { StoredForm_TextFile, StoredForm_Payload };

ConfigCheck CheckEntries(const ConfigEntries& read, StoredForm form, const PropertyTypes& types);

struct CheckedFile {
    std::string path;
    std::string form;  // text, aetconfig (version 2), aetconfig-v1 (binary: nothing to check)
    ConfigCheck check;
};

// "FILE:LINE: message" for each problem, or "FILE: clean".
void PrintCheckText(const CheckedFile& file);
// One element of the report's "files" array; the first one without a comma.
void PrintCheckJson(const CheckedFile& file, bool first);

// The known name closest to name (by edits, ignoring case and blanks at
// the ends); "" when there are no names.
std::string ClosestName(const std::string& name, const PropertyTypes& types);

}  // namespace k4xtrace
