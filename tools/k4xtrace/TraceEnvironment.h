// The process environment that the library reads: the profile directory,
// the logging level and the search path for the live system's libraries.
// Set before the library is loaded, through the platform layer, so that the
// library (which may keep its own copy of the environment) sees it.
#pragma once

#include "CommandLine.h"

#include <string>

namespace k4xtrace {

// Applies --profile, --log-level and --live; false with the reason when an
// option names no directory or no profile directory is known at all.
bool ApplyEnvironment(const GlobalOptions& options, std::string& error);

// True when the logging level switches the library's log file on.
bool LoggingOn();

// The log file that the library names for this process today, from the
// variables it publishes when it makes its first manager.
std::string LogFilePath();

// An environment variable's value, "" when not set.
std::string Environment(const char* name);

}  // namespace k4xtrace
