// A fresh folder for each test, holding an empty user profile that USERPROFILE (and HOME, where the system reads it)
// point at. The variables set through it are restored and the folder removed at the end.
#pragma once

#include "Platform.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace k4xtest {

class ScratchProfile {
public:
    ScratchProfile()
    {
        const std::string name = "k4x-" + std::to_string(k4xplatform::CurrentProcessId()) + "-" +
                                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
        m_root = std::filesystem::temp_directory_path() / name;
        m_profile = Path("profile");
        std::filesystem::create_directories(m_profile);
        // HOME stands in for an unset USERPROFILE on POSIX; Windows reads no HOME.
        SetVariable("USERPROFILE", m_profile.c_str());
        SetVariable("HOME", m_profile.c_str());
    }
    ~ScratchProfile()
    {
        for (const auto& [name, old] : m_saved) k4xplatform::SetEnvironment(name.c_str(), old ? old->c_str() : nullptr);
        // Loggers live on; closing their files lets the folder go on Windows.
        ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
        for (const auto& entry : log.m_loggers) entry.second->SetEnabled(false);
        if (ZR_KDT::uLogger* current = log.m_pLogger.load()) current->SetEnabled(false);
        std::error_code ignored;  // a leftover scratch folder is no test failure
        std::filesystem::remove_all(m_root, ignored);
    }
    ScratchProfile(const ScratchProfile&) = delete;
    ScratchProfile& operator=(const ScratchProfile&) = delete;

    const std::string& Profile() const { return m_profile; }
    // A path beside the profile: "<root>/<name>".
    std::string Path(const std::string& name) const { return (m_root / name).string(); }
    // A fresh, empty folder beside the profile; its path.
    std::string NewFolder(const std::string& name) const
    {
        std::filesystem::create_directories(Path(name));
        return Path(name);
    }
    // <profile>/.ZR-trace and its settings folder, with the system's separator.
    std::string TraceDirectory() const { return (std::filesystem::path(m_profile) / ".ZR-trace").string(); }
    std::string SettingsDirectory() const { return (std::filesystem::path(TraceDirectory()) / "settings").string(); }

    // Sets (null: removes) a process variable until the end of the test.
    void SetVariable(const char* name, const char* value)
    {
        std::string old;
        const bool set = k4xplatform::GetEnvironment(name, old);
        m_saved.try_emplace(name, set ? std::optional(old) : std::nullopt);
        ASSERT_TRUE(k4xplatform::SetEnvironment(name, value)) << name;
    }

private:
    std::filesystem::path m_root;
    std::string m_profile;
    std::map<std::string, std::optional<std::string>> m_saved;  // null: was unset
};

}  // namespace k4xtest
