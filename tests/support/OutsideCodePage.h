// A name that the system's narrow encoding cannot write, made through the
// system's wide calls: on Windows one outside the ANSI code page. POSIX
// names are bytes, and every name can be written.
#pragma once

#include <filesystem>

namespace k4xtest {

// Makes a folder of such a name in parent and points USERPROFILE at it;
// false where the system has no such name (POSIX) or it cannot be made.
bool PointProfileOutsideTheCodePage(const std::filesystem::path& parent);

}  // namespace k4xtest
