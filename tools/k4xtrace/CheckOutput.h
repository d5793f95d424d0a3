// k4xtrace check's report of each file, as text or as JSON.
#pragma once

#include "ConfigCheck.h"

#include <string>

namespace k4xtrace {

struct CheckedFile {
    std::string path;
    std::string form;  // text, aetconfig (version 2), aetconfig-v1 (binary: nothing to check)
    ConfigCheck check;
};

// "FILE:LINE: message" for each problem, or "FILE: clean".
void PrintCheckText(const CheckedFile& file);
// One element of the report's "files" array; the first one without a comma.
void PrintCheckJson(const CheckedFile& file, bool first);

}  // namespace k4xtrace
