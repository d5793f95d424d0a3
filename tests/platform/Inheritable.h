// Whether a child program that the process starts would get the file:
// the descriptor lacks close-on-exec (POSIX), the handle carries
// HANDLE_FLAG_INHERIT (Windows). Each system's file is chosen by the build.
#pragma once

#include "Platform.h"

namespace k4xtest {

bool InheritedByChildren(k4xplatform::File file);

}  // namespace k4xtest
