// A fresh folder of its own for each test, holding an empty user profile
// that USERPROFILE (and HOME, where the system reads it) point at. The
// variables set through it are restored and the folder removed at the end.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace k4xtest {

class ScratchProfile {
public:
    ScratchProfile();
    ~ScratchProfile();
    ScratchProfile(const ScratchProfile&) = delete;
    ScratchProfile& operator=(const ScratchProfile&) = delete;

    const std::string& Profile() const { return m_profile; }
    // A path beside the profile: "<root>/<name>".
    std::string Path(const std::string& name) const;
    // A fresh, empty folder beside the profile; its path.
    std::string NewFolder(const std::string& name) const;
    // <profile>/.ZR-trace and its settings folder, in platform form.
    std::string TraceDirectory() const;
    std::string SettingsDirectory() const;

    // Sets (null: removes) a process variable until the end of the test.
    void SetVariable(const char* name, const char* value);

private:
    std::string m_root;
    std::string m_profile;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;  // null: was unset
};

}  // namespace k4xtest
