#include "ConfigTestSupport.h"

#include "uEnvironment.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using Zr::Kdt::Trace::DeviceDescriptor;
using Zr::Kdt::Trace::PropertyValue;

namespace cfgtest {

namespace {

const char* const kIntegerNames[] = {"Trace Mode",    "Encoding Mode", "Sync Frequency",
                                     "Number of AEG", "Memory Mode",   "CEMU Status"};
const char* const kEventBitNames[] = {"Event Bit0", "Event Bit1", "Event Bit2", "Event Bit3"};

PropertyValue Get(K4xDeviceCfgMgr& manager, const char* name)
{
    PropertyValue value;
    EXPECT_TRUE(manager.GetProperty(name, value)) << name;
    return value;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Config& config)
{
    for (std::size_t i = 0; i < 6; ++i) out << kIntegerNames[i] << '=' << config.integers[i] << "; ";
    for (std::size_t i = 0; i < 4; ++i) out << kEventBitNames[i] << "=\"" << config.eventBits[i] << "\"; ";
    return out << "TWP_Protocol=" << config.twp;
}

Config Capture(K4xDeviceCfgMgr& manager)
{
    Config config;
    for (std::size_t i = 0; i < 6; ++i) config.integers[i] = Get(manager, kIntegerNames[i]).intValue;
    for (std::size_t i = 0; i < 4; ++i) config.eventBits[i] = Get(manager, kEventBitNames[i]).strValue;
    config.twp = Get(manager, "TWP_Protocol").boolValue;
    return config;
}

void Apply(K4xDeviceCfgMgr& manager, const Config& config)
{
    for (std::size_t i = 0; i < 6; ++i) {
        PropertyValue value;
        value.intValue = config.integers[i];
        ASSERT_TRUE(manager.SetProperty(kIntegerNames[i], value));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        PropertyValue value;
        value.strValue = config.eventBits[i];
        ASSERT_TRUE(manager.SetProperty(kEventBitNames[i], value));
    }
    PropertyValue value;
    value.boolValue = config.twp;
    ASSERT_TRUE(manager.SetProperty("TWP_Protocol", value));
}

void ConfigTest::SetUp()
{
    const std::string profile = Scratch("profile");
    std::filesystem::create_directories(profile);
    ASSERT_TRUE(ZR_KDT::SetEnvironmentValue("USERPROFILE", profile.c_str()));
}

std::unique_ptr<K4xDeviceCfgMgr> ConfigTest::NewManager(const std::string& cpuName)
{
    m_cpuNames.push_back(std::make_unique<std::string>(cpuName));
    m_descriptors.push_back(std::make_unique<DeviceDescriptor>());
    m_descriptors.back()->cpuName = m_cpuNames.back()->c_str();
    auto manager = std::make_unique<K4xDeviceCfgMgr>(m_descriptors.back().get(), 0);
    EXPECT_EQ(SettingsDir().rfind(Scratch("profile"), 0), 0u) << "settings outside the test's profile";
    return manager;
}

std::string ConfigTest::SettingsDir() const { return ZR_KDT::GetEnvironmentValue("ZR_TRACE_SETTINGS_DIR"); }

std::string ConfigTest::Settings(const std::string& name) const
{
    return (std::filesystem::path(SettingsDir()) / name).string();
}

std::vector<std::string> ConfigTest::SettingsFiles() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(SettingsDir())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TextModeLineEnd(const std::string& probe)
{
    std::FILE* file = std::fopen(probe.c_str(), "w");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return "\n";
    std::fputs("\n", file);
    std::fclose(file);
    const std::string lineEnd = ReadBytes(probe);
    std::remove(probe.c_str());
    return lineEnd;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(stream.good()) << path;
}

void WriteTdf(const std::string& path, const std::vector<tdftest::Bytes>& sections)
{
    tdftest::WriteFile(path, tdftest::TdfImage(sections));
}

std::string AsText(const tdftest::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace cfgtest
