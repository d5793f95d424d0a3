// The trace log of a folder, its lines as "<category letters>:<message>":
// "M     12:03:07:045 | text" => "M:text"; "  F    text" => "F:text".
#pragma once

#include <string>
#include <vector>

namespace k4xtest {

// The messages of a log file, one per line.
std::vector<std::string> LogMessagesOf(const std::string& path);

class TraceLog {
public:
    // Reads the one zr_trace_log_* file of the folder (no messages when
    // there is none or more than one).
    explicit TraceLog(const std::string& folder);

    const std::vector<std::string>& Files() const { return m_files; }
    const std::vector<std::string>& Messages() const { return m_messages; }
    // How many lines are exactly `message` ("M:..."), or start with `start`.
    int Count(const std::string& message) const;
    int CountStarting(const std::string& start) const;

private:
    std::vector<std::string> m_files;
    std::vector<std::string> m_messages;
};

}  // namespace k4xtest
