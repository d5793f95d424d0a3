// The process environment that the library reads: the profile directory,
// the logging level and the search path for the live system's libraries.
// Set before the library is loaded, through the platform layer, so that the
// library (which may keep its own copy of the environment) sees it.
#pragma once

#include "CommandLine.h"

#include <string>

namespace k4xtrace {

// Applies --profile, --log-level and --live; false with the reason when an
// option names no directory, or, where needsProfile, no profile directory
// is known at all.
bool ApplyEnvironment(const GlobalOptions& options, bool needsProfile, std::string& error);

// Where the library's loader looks for the live system's libraries, in
// its order, for messages.
constexpr char kLiveLibrarySearch[] =
    "beside the host program, in the system folders, the working directory and the folders of PATH";

// True when the logging level switches the library's log file on.
bool LoggingOn();

// The log that a debug client of today writes in folder: named with the
// debug client's id where one is published, else with "<process id>".
std::string LogFileIn(const std::string& folder);

// The log file that the library names for this process today, from the
// variables it publishes when it makes its first manager.
std::string LogFilePath();

// An environment variable's value, "" when not set.
std::string Environment(const char* name);

}  // namespace k4xtrace
