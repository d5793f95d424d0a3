// Runs one of the project's tools as a separate program through the
// system's shell, the way a user or a script runs it.
#pragma once

#include <string>

namespace k4xtest {

struct ToolResult {
    int exitCode;
    std::string out;  // bytes as written
    std::string err;
};

// Runs `program arguments` with standard input an empty file, so the tool
// never waits for a person; its outputs go through files in `folder`.
ToolResult RunTool(const std::string& program, const std::string& arguments, const std::string& folder);

// "path" in double quotes, for a command line.
inline std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The text with each CR LF read as a line feed: Windows ends the tools' text lines with CR LF.
inline std::string WithLineFeeds(std::string text)
{
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

}  // namespace k4xtest
