// The trace log of a folder, its lines as "<category letters>:<message>":
// "M     12:03:07:045 | text" => "M:text"; "  F    text" => "F:text".
#pragma once

#include "Bytes.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

namespace k4xtest {

// The messages of a log file, one per line.
inline std::vector<std::string> LogMessagesOf(const std::string& path)
{
    // After the category letters and a blank: a stamp that ends in " | "
    // ("HH:MM:SS:mmm", "MM/DD/YY" or both), or one more blank.
    static const std::regex stamp("^((.{8}|.{12}|.{21}) \\| | )");
    std::vector<std::string> messages;
    std::istringstream lines(ReadBytes(path));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 6) {
            std::string letters = line.substr(0, 5);
            letters.erase(std::remove(letters.begin(), letters.end(), ' '), letters.end());
            line = letters + ":" + std::regex_replace(line.substr(6), stamp, "");
        }
        messages.push_back(line);
    }
    return messages;
}

class TraceLog {
public:
    // Reads the folder's one zr_trace_log_* file (no messages when there is none or more than one).
    explicit TraceLog(const std::string& folder)
    {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("zr_trace_log_", 0) == 0) m_files.push_back(name);
        }
        if (m_files.size() == 1) m_lines = LogMessagesOf((std::filesystem::path(folder) / m_files[0]).string());
    }

    const std::vector<std::string>& Files() const { return m_files; }
    const std::vector<std::string>& Messages() const { return m_lines; }
    // How many lines are exactly `message` ("M:..."), or start with `start`.
    std::ptrdiff_t Count(const std::string& line) const { return std::count(m_lines.begin(), m_lines.end(), line); }
    std::ptrdiff_t CountStarting(const std::string& start) const
    {
        return std::count_if(m_lines.begin(), m_lines.end(),
                             [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    }

private:
    std::vector<std::string> m_files;
    std::vector<std::string> m_lines;
};

}  // namespace k4xtest
