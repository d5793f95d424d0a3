#include "TdfTestSupport.h"

#include <fstream>
#include <iterator>
#include <random>

namespace tdftest {

ScratchDir::ScratchDir()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    m_root = std::filesystem::temp_directory_path() /
             ("k4x_tdf_" + std::string(test->name()) + "_" + std::to_string(random() % 1000000));
    std::filesystem::remove_all(m_root);
    std::filesystem::create_directories(m_root);
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;  // a leftover scratch folder is no test failure
    std::filesystem::permissions(m_root, std::filesystem::perms::owner_all, ignored);
    for (const auto& entry : std::filesystem::directory_iterator(m_root, ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
    }
    std::filesystem::remove_all(m_root, ignored);
}

std::string ScratchDir::Path(const std::string& name) const { return (m_root / name).string(); }

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(stream.good()) << path;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void PutU32(Bytes& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(value >> shift));
}

void SetU32(Bytes& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

void PutText(Bytes& bytes, const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

Bytes Section(const std::string& name, uint32_t version, const std::string& data)
{
    Bytes bytes;
    PutU32(bytes, static_cast<uint32_t>(12 + name.size() + data.size()));
    PutU32(bytes, version);
    PutU32(bytes, static_cast<uint32_t>(name.size()));
    PutText(bytes, name);
    PutText(bytes, data);
    return bytes;
}

Bytes TdfImage(const std::vector<Bytes>& sections)
{
    Bytes bytes = {'T', 'D', 'F', '2'};
    for (const Bytes& section : sections) bytes.insert(bytes.end(), section.begin(), section.end());
    return bytes;
}

}  // namespace tdftest
