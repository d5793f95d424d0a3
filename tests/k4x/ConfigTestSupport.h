// Managers built for real in a fresh user profile, whole configurations as
// values, and file helpers for the configuration-file tests.
#pragma once

#include "K4xDeviceCfgMgr.h"
#include "TdfTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace cfgtest {

// The eleven stored properties of one manager.
struct Config {
    // "Trace Mode", "Encoding Mode", "Sync Frequency", "Number of AEG",
    // "Memory Mode", "CEMU Status"
    std::array<int32_t, 6> integers{};
    // "Event Bit0" to "Event Bit3"
    std::array<std::string, 4> eventBits;
    bool twp = false;

    bool operator==(const Config& other) const
    {
        return integers == other.integers && eventBits == other.eventBits && twp == other.twp;
    }
};
std::ostream& operator<<(std::ostream& out, const Config& config);

Config Capture(K4xDeviceCfgMgr& manager);
void Apply(K4xDeviceCfgMgr& manager, const Config& config);

class ConfigTest : public ::testing::Test {
protected:
    // Points USERPROFILE at an empty profile before any manager exists, so
    // the process's trace directories are created inside it.
    void SetUp() override;

    // A manager for the CPU, constructed as the library's factory does.
    std::unique_ptr<K4xDeviceCfgMgr> NewManager(const std::string& cpuName = "K4X CFG/TEST");

    // The settings directory that the first manager published.
    std::string SettingsDir() const;
    std::string Settings(const std::string& name) const;
    std::string Scratch(const std::string& name) const { return m_scratch.Path(name); }
    // Names in the settings directory, sorted.
    std::vector<std::string> SettingsFiles() const;

private:
    tdftest::ScratchDir m_scratch;
    std::vector<std::unique_ptr<std::string>> m_cpuNames;
    std::vector<std::unique_ptr<Zr::Kdt::Trace::DeviceDescriptor>> m_descriptors;
};

// What the platform writes for a line feed in a text-mode file, found by
// writing one into a probe file at the path.
std::string TextModeLineEnd(const std::string& probe);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A TDF file of the signature and the given sections.
void WriteTdf(const std::string& path, const std::vector<tdftest::Bytes>& sections);
std::string AsText(const tdftest::Bytes& bytes);

}  // namespace cfgtest
