// The parts of k4xtrace's man page and bash completion that come from its
// command table. The build prints each with a hidden option and fills them
// into packaging/k4xtrace.1.in and packaging/k4xtrace.bash.in, so the
// commands and options are written down once, in Commands.cpp and
// CommandLine.cpp.
#pragma once

#include <string>

namespace k4xtrace {

// k4xtrace --document-part PART
constexpr char kDocumentPartOption[] = "--document-part";

// Prints the part on stdout: man-commands, man-options (roff), commands,
// options (blank-separated), value-options (the options that take a value,
// "|"-separated). kExitUsage for an unknown part.
int PrintDocumentPart(const std::string& part);

}  // namespace k4xtrace
