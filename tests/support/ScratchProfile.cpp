#include "ScratchProfile.h"

#include "Platform.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace k4xtest {

namespace fs = std::filesystem;

namespace {

fs::path FreshRoot()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("k4x-") + (test != nullptr ? test->name() : "test") + "-" +
                       std::to_string(ZR_KDT::platform::CurrentProcessId()) + "-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::replace(name.begin(), name.end(), '/', '-');
    return fs::temp_directory_path() / name;
}

}  // namespace

ScratchProfile::ScratchProfile()
{
    const fs::path root = FreshRoot();
    fs::create_directories(root / "profile");
    m_root = root.string();
    m_profile = (root / "profile").string();
    SetVariable("USERPROFILE", m_profile.c_str());
    if (ZR_KDT::platform::kProfileFallbackVariable != nullptr) {
        SetVariable(ZR_KDT::platform::kProfileFallbackVariable, m_profile.c_str());
    }
}

ScratchProfile::~ScratchProfile()
{
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
        ZR_KDT::platform::SetEnvironment(saved->first.c_str(),
                                         saved->second.first ? saved->second.second.c_str() : nullptr);
    }
    // Loggers live on; closing their files lets the folder go on Windows.
    for (const auto& entry : ZR_KDT::uLogManager::Instance().m_loggers) entry.second->SetEnabled(false);
    std::error_code ignored;  // a leftover scratch folder is no test failure
    for (const auto& entry : fs::recursive_directory_iterator(m_root, ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_root, ignored);
}

std::string ScratchProfile::Path(const std::string& name) const { return (fs::path(m_root) / name).string(); }

std::string ScratchProfile::NewFolder(const std::string& name) const
{
    fs::create_directories(Path(name));
    return Path(name);
}

std::string ScratchProfile::TraceDirectory() const
{
    std::string path = m_profile;
    ZR_KDT::AppendPathComponent(path, ".ZR-trace");
    return path;
}

std::string ScratchProfile::SettingsDirectory() const
{
    std::string path = TraceDirectory();
    ZR_KDT::AppendPathComponent(path, "settings");
    return path;
}

void ScratchProfile::SetVariable(const char* name, const char* value)
{
    const bool known = std::any_of(m_saved.begin(), m_saved.end(), [&](const auto& s) { return s.first == name; });
    if (!known) {
        std::string old;
        const bool found = ZR_KDT::platform::GetEnvironment(name, old);
        m_saved.push_back({name, {found, old}});
    }
    ASSERT_TRUE(ZR_KDT::platform::SetEnvironment(name, value)) << name;
}

}  // namespace k4xtest
