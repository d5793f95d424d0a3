// check's reading of one file, with the library's own reading code.
#pragma once

#include "CheckOutput.h"

#include <string>

namespace k4xtrace {

// The file as the library reads it: the AETCONFIG section of a TDF
// container for a path ending in .tdf (by the library's own rule), a text
// configuration otherwise.
CheckedFile CheckFile(const std::string& path);

}  // namespace k4xtrace
