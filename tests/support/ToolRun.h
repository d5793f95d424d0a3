// Runs one of the project's tools as a separate program through the
// system's shell, the way a user or a script runs it.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
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

// Checks a run: its exit code, each "|"-separated part of `out` in its standard output and `err` in its standard
// error, line ends read as line feeds; an empty text expects no output at all.
inline void ExpectRun(const ToolResult& result, int exitCode, const std::string& out, const std::string& err)
{
    const std::string got = WithLineFeeds(result.out), errors = WithLineFeeds(result.err);
    EXPECT_EQ(result.exitCode, exitCode) << errors;
    std::istringstream parts(out);
    for (std::string part; std::getline(parts, part, '|');) EXPECT_NE(got.find(part), std::string::npos) << got;
    EXPECT_EQ(out.empty(), got.empty()) << got;
    EXPECT_NE(errors.find(err), std::string::npos) << errors;
    EXPECT_EQ(err.empty(), errors.empty()) << errors;
}

}  // namespace k4xtest
