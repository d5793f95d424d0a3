#include "Bytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace k4xtest {

void WriteFile(const std::string& path, const Bytes& bytes) { WriteBytes(path, AsText(bytes)); }

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(stream.good()) << path;
}

Bytes ReadFile(const std::string& path)
{
    const std::string bytes = ReadBytes(path);
    return Bytes(bytes.begin(), bytes.end());
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string StoredText(const std::string& text)
{
    if (!K4X_CRLF_FILES) return text;
    std::string stored;
    for (const char c : text) stored += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return stored;
}

std::string U32(uint32_t value)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift);
    return bytes;
}

void SetU32(Bytes& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

Bytes Section(const std::string& name, uint32_t version, const std::string& data)
{
    const std::string bytes = U32(static_cast<uint32_t>(12 + name.size() + data.size())) + U32(version) +
                              U32(static_cast<uint32_t>(name.size())) + name + data;
    return Bytes(bytes.begin(), bytes.end());
}

Bytes TdfImage(const std::vector<Bytes>& sections)
{
    Bytes bytes = {'T', 'D', 'F', '2'};
    for (const Bytes& section : sections) bytes.insert(bytes.end(), section.begin(), section.end());
    return bytes;
}

}  // namespace k4xtest
