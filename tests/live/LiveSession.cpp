#include "LiveSession.h"

#include "Platform.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace k4xtest {

namespace fs = std::filesystem;

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "M     12:03:07:045 | text" => "M:text"; "  F    text" (no stamp) => "F:text".
std::string Message(std::string line)
{
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 6) return line;
    std::string letters;
    for (char c : line.substr(0, 5))
        if (c != ' ') letters += c;
    std::string rest = line.substr(6);
    if (rest.size() >= 15 && rest.compare(12, 3, " | ") == 0) {
        rest.erase(0, 15);
    } else if (!rest.empty() && rest[0] == ' ') {
        rest.erase(0, 1);
    }
    return letters + ":" + rest;
}

}  // namespace

LiveSession::LiveSession(const char* simFolder, const char* logging)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = std::string("k4x-live-") + info->name() + "-" + std::to_string(tick);
    for (char& c : name)
        if (c == '/') c = '-';
    const fs::path root = fs::temp_directory_path() / name;
    fs::create_directories(root / "profile");
    m_root = root.string();
    m_profile = (root / "profile").string();

    ZR_KDT::SetEnvironmentValue("USERPROFILE", m_profile.c_str());
    ZR_KDT::SetEnvironmentValue("ZR_TRACE_LOGGING", logging);
    UnsetEnvironment("ZR_TRACE_DEBUGCLIENT_PID");
    UnsetEnvironment("K4X_SIM_TARGET");
    const std::string path = simFolder != nullptr ? SimFolder(simFolder) : NewFolder("empty-path");
    ZR_KDT::SetEnvironmentValue("PATH", path.c_str());
}

LiveSession::~LiveSession()
{
    // Loggers live on; closing their files lets the folder go on Windows.
    for (const auto& entry : ZR_KDT::uLogManager::Instance().m_loggers) entry.second->SetEnabled(false);
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

std::string LiveSession::NewFolder(const char* name) const
{
    const fs::path folder = fs::path(m_root) / name;
    fs::create_directories(folder);
    return folder.string();
}

std::string LiveSession::TraceDirectory() const
{
    std::string path = m_profile;
    ZR_KDT::AppendPathComponent(path, ".ZR-trace");
    return path;
}

std::string LiveSession::SettingsDirectory() const
{
    std::string path = TraceDirectory();
    ZR_KDT::AppendPathComponent(path, "settings");
    return path;
}

std::string LiveSession::SimFolder(const char* folder)
{
    std::string path = K4X_SIM_ROOT;
    ZR_KDT::AppendPathComponent(path, folder);
    return path;
}

void LiveSession::UseTarget(const std::string& description) const
{
    ZR_KDT::SetEnvironmentValue("K4X_SIM_TARGET", WriteFile("target.txt", description).c_str());
}

void LiveSession::WriteSettings(const std::string& fileName, const std::string& text) const
{
    fs::create_directories(SettingsDirectory());
    std::ofstream(fs::path(SettingsDirectory()) / fileName, std::ios::binary) << text;
}

std::string LiveSession::WriteFile(const std::string& name, const std::string& text) const
{
    const fs::path path = fs::path(m_root) / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::vector<std::string> LiveSession::LogFiles() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(TraceDirectory(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("zr_trace_log_", 0) == 0) names.push_back(name);
    }
    return names;
}

std::vector<std::string> LiveSession::LogMessages() const
{
    std::vector<std::string> messages;
    const std::vector<std::string> files = LogFiles();
    if (files.size() != 1) return messages;
    std::istringstream lines(ReadText((fs::path(TraceDirectory()) / files[0]).string()));
    for (std::string line; std::getline(lines, line);) messages.push_back(Message(line));
    return messages;
}

int LiveSession::CountLog(const std::string& message) const
{
    const std::vector<std::string> lines = LogMessages();
    return static_cast<int>(std::count(lines.begin(), lines.end(), message));
}

int LiveSession::CountLogStarting(const std::string& start) const
{
    const std::vector<std::string> lines = LogMessages();
    return static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; }));
}

Zr::Kdt::Trace::DeviceDescriptor Descriptor(const char* cpuName)
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor{};
    descriptor.cpuName = cpuName;
    return descriptor;
}

void UnsetEnvironment(const char* name) { ZR_KDT::platform::SetEnvironment(name, nullptr); }

std::string TodaysLogFileName(const std::string& debugClientId)
{
    const ZR_KDT::platform::LocalTime now = ZR_KDT::platform::ReadLocalTime();
    return "zr_trace_log_" + std::to_string(now.month) + std::to_string(now.day) + std::to_string(now.year) + "_" +
           debugClientId + ".txt";
}

}  // namespace k4xtest
