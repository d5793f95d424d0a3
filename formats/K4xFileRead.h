// Reading a stored file whole, so that a load and k4xtrace check read the
// same bytes the same way: through the platform's system-call table.
#pragma once

#include <cstdio>
#include <string>

namespace K4xFormat {

// The whole of the open file into bytes; false on a read error, with the
// bytes read before it.
bool ReadWholeFile(std::FILE* file, std::string& bytes);

}  // namespace K4xFormat
