// One test's live session: a fresh profile, one simulated system of
// bin/sim/ on PATH, trace logging switched on, and the trace log read back.
#pragma once

#include "DeviceConfigManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace k4xtest {

constexpr uint32_t kKeepMode = 0xFFFFFFFF;

class LiveSession {
public:
    // simFolder: the folder of bin/sim/ to put on PATH ("default", ...), or
    // null for a PATH without any stand-in. logging: ZR_TRACE_LOGGING.
    explicit LiveSession(const char* simFolder, const char* logging = "1");
    ~LiveSession();
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    const std::string& Profile() const { return m_profile; }
    // A fresh, empty folder beside the profile.
    std::string NewFolder(const char* name) const;
    // <profile>/.ZR-trace and its settings folder, in platform form.
    std::string TraceDirectory() const;
    std::string SettingsDirectory() const;
    // The folder of bin/sim/ in platform form.
    static std::string SimFolder(const char* folder);

    // The target description that the stand-ins read next (K4X_SIM_TARGET).
    void UseTarget(const std::string& description) const;
    // Writes a file into the settings folder, creating it when missing.
    void WriteSettings(const std::string& fileName, const std::string& text) const;
    // Creates a file next to the profile; its path.
    std::string WriteFile(const std::string& name, const std::string& text) const;

    // Names of the trace log files in the trace directory.
    std::vector<std::string> LogFiles() const;
    // The lines of the one trace log as "<category letters>:<message>",
    // e.g. "M:DCM: Destroying Channel Server ".
    std::vector<std::string> LogMessages() const;
    // How many lines are exactly `message` ("M:..."), or start with it.
    int CountLog(const std::string& message) const;
    int CountLogStarting(const std::string& start) const;

private:
    std::string m_root;
    std::string m_profile;
};

// A descriptor for the CPU, its numbers 0.
Zr::Kdt::Trace::DeviceDescriptor Descriptor(const char* cpuName);

// Removes a variable from the process environment.
void UnsetEnvironment(const char* name);

// The name field of a parameterised case, as its test name.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param)
{
    return param.param.name;
}

// zr_trace_log_<month><day><year>_<id>.txt for today's date.
std::string TodaysLogFileName(const std::string& debugClientId);

}  // namespace k4xtest
