// The trace log of a folder, its records as "<category letters>:<message>",
// read by the library's own log reader: "M     12:03:07:045 | text" =>
// "M:text"; "  F    text" => "F:text".
#pragma once

#include "Bytes.h"
#include "uLogReader.h"

#include <algorithm>
#include <filesystem>

namespace k4xtest {

// The messages of a log file, one per record.
inline std::vector<std::string> LogMessagesOf(const std::string& path)
{
    std::vector<std::string> messages;
    ZR_KDT::uLogReader reader([&messages](const ZR_KDT::LogRecord& record) {
        messages.push_back(ZR_KDT::LogCategoryLetters(record.categories) + ":" + record.message);
    });
    reader.Feed(ReadBytes(path));
    reader.End();
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
