// Environment variables, the working directory and the trace directory tree
// under the user's profile. Failures throw source_utilities_error.
#pragma once

#include <string>

#include "source_utilities_error.h"

namespace ZR_KDT {

// The variable's value, "" when it is not set or empty. The text lives in
// the calling thread's own slot until that thread calls again.
const char* GetEnvironmentValue(const char* name);

// Sets the variable in the process environment; true on success.
bool SetEnvironmentValue(const char* name, const char* value);

// out becomes the working directory; returns out's text.
const char* GetWorkingDirectory(std::string& out);

// The folders of the trace directory.
constexpr char kTraceDataFolder[] = "data";
constexpr char kTraceSettingsFolder[] = "settings";

// out becomes <profile>/.ZR-trace (nothing is created); the profile is
// USERPROFILE, on POSIX HOME when USERPROFILE is not set at all.
const char* GetTraceDirectory(std::string& out);

// The trace directory, created when missing; the log files live there.
const char* GetTraceLoggingDirectory(std::string& out);

// <trace directory>/data, created level by level when missing.
const char* GetTraceDataDirectory(std::string& out);

// <trace directory>/settings, created level by level when missing.
const char* GetTraceSettingsDirectory(std::string& out);

// Creates every level of path from the top down, the last included with or
// without a trailing separator. 0 when the deepest level was created, -1
// when it existed or failed (or path is null).
int CreateDirectoryPath(const char* path);

// Appends one separator (unless path is empty or ends with one), then name,
// then normalises: "a" + "b" => "a/b" on POSIX, "a\b" on Windows.
void AppendPathComponent(std::string& path, const char* name);

// Turns the other platform's separator into this one's and folds runs of
// separators into one: "C:/a//b" => "C:\a\b" on Windows.
void NormalizePath(std::string& path);

}  // namespace ZR_KDT
