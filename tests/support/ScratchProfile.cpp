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

std::string Appended(std::string path, const char* name)
{
    ZR_KDT::AppendPathComponent(path, name);
    return path;
}

}  // namespace

ScratchProfile::ScratchProfile()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("k4x-") + (test != nullptr ? test->name() : "test") + "-" +
                       std::to_string(ZR_KDT::platform::CurrentProcessId()) + "-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::replace(name.begin(), name.end(), '/', '-');
    m_root = (fs::temp_directory_path() / name).string();
    m_profile = Path("profile");
    fs::create_directories(m_profile);
    SetVariable("USERPROFILE", m_profile.c_str());
    if (const char* fallback = ZR_KDT::platform::kProfileFallbackVariable) SetVariable(fallback, m_profile.c_str());
}

ScratchProfile::~ScratchProfile()
{
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved)
        ZR_KDT::platform::SetEnvironment(saved->first.c_str(), saved->second ? saved->second->c_str() : nullptr);
    // Loggers live on; closing their files lets the folder go on Windows.
    for (const auto& entry : ZR_KDT::uLogManager::Instance().m_loggers) entry.second->SetEnabled(false);
    std::error_code ignored;  // a leftover scratch folder is no test failure
    std::error_code walk;
    for (fs::recursive_directory_iterator entry(m_root, walk), end; !walk && entry != end; entry.increment(walk)) {
        fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_root, ignored);
}

std::string ScratchProfile::Path(const std::string& name) const { return (fs::path(m_root) / name).string(); }

std::string ScratchProfile::NewFolder(const std::string& name) const
{
    fs::create_directories(Path(name));
    return Path(name);
}

std::string ScratchProfile::TraceDirectory() const { return Appended(m_profile, ".ZR-trace"); }

std::string ScratchProfile::SettingsDirectory() const { return Appended(TraceDirectory(), "settings"); }

void ScratchProfile::SetVariable(const char* name, const char* value)
{
    const bool known = std::any_of(m_saved.begin(), m_saved.end(), [&](const auto& s) { return s.first == name; });
    std::string old;
    if (!known)
        m_saved.emplace_back(name, ZR_KDT::platform::GetEnvironment(name, old) ? std::optional(old) : std::nullopt);
    ASSERT_TRUE(ZR_KDT::platform::SetEnvironment(name, value)) << name;
}

}  // namespace k4xtest
