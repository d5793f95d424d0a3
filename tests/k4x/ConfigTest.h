// Managers built for real, each test case in a scratch profile of its own.
#pragma once

#include "Bytes.h"
#include "ConfigValues.h"
#include "K4xDeviceCfgMgr.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace k4xtest {

using Config = ConfigValues;

class ConfigTest : public ::testing::Test {
protected:
    // A manager for the CPU, constructed as the library's factory does.
    std::unique_ptr<K4xDeviceCfgMgr> NewManager(const char* cpuName = "K4X CFG/TEST")
    {
        m_descriptors.push_back({cpuName, 0, {}, 0});
        return std::make_unique<K4xDeviceCfgMgr>(&m_descriptors.back(), 0);
    }

    std::string Settings(const std::string& name) const
    {
        return (std::filesystem::path(profile.SettingsDirectory()) / name).string();
    }
    std::string Scratch(const std::string& name) const { return profile.Path(name); }
    // Names in the settings directory, sorted.
    std::vector<std::string> SettingsFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(profile.SettingsDirectory()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchProfile profile;

private:
    std::list<Zr::Kdt::Trace::DeviceDescriptor> m_descriptors;
};

}  // namespace k4xtest
