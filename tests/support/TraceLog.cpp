#include "TraceLog.h"

#include "Bytes.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace k4xtest {

namespace {

std::string LogMessage(std::string line)
{
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 6) return line;
    std::string letters = line.substr(0, 5), rest = line.substr(6);
    letters.erase(std::remove(letters.begin(), letters.end(), ' '), letters.end());
    // A stamp ends in " | ": "HH:MM:SS:mmm", "MM/DD/YY" or both.
    const std::size_t bar = rest.find(" | ");
    rest.erase(0, bar == 8 || bar == 12 || bar == 21 ? bar + 3 : rest.rfind(' ', 0) == 0 ? 1 : 0);
    return letters + ":" + rest;
}

}  // namespace

std::vector<std::string> LogMessagesOf(const std::string& path)
{
    std::vector<std::string> messages;
    std::istringstream lines(ReadBytes(path));
    for (std::string line; std::getline(lines, line);) messages.push_back(LogMessage(line));
    return messages;
}

TraceLog::TraceLog(const std::string& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("zr_trace_log_", 0) == 0) m_files.push_back(name);
    }
    if (m_files.size() == 1) m_messages = LogMessagesOf((std::filesystem::path(folder) / m_files[0]).string());
}

int TraceLog::Count(const std::string& message) const
{
    return static_cast<int>(std::count(m_messages.begin(), m_messages.end(), message));
}

int TraceLog::CountStarting(const std::string& start) const
{
    return static_cast<int>(std::count_if(m_messages.begin(), m_messages.end(),
                                          [&](const std::string& line) { return line.rfind(start, 0) == 0; }));
}

}  // namespace k4xtest
