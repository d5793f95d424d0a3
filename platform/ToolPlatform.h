// The operating-system services that only the tools use, kept out of the
// library's own layer; built into the tools alone. Nothing here throws.
#pragma once

#include <cstdio>
#include <string>

#include "Platform.h"

namespace ZR_KDT {
namespace platform {

// The stream is a terminal (a console on Windows); false for null.
bool IsTerminal(std::FILE* stream);

// No line-end translation on the stream from now on (POSIX streams never
// translate). False when the mode cannot be set (or stream is null).
bool SetBinaryMode(std::FILE* stream);

// The version that the loaded library's file carries, as "1.2.3": the file
// version of its version resource on Windows, the numbers after ".so." in
// the name of the file its links resolve to on POSIX. False for none.
bool ModuleVersion(ModuleHandle module, std::string& version);

}  // namespace platform
}  // namespace ZR_KDT
