// Files as bytes, and byte builders for TDF containers. Every number is a
// little-endian 32-bit field.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace k4xtest {

using Bytes = std::vector<unsigned char>;

inline std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream stream(path, std::ios::binary);
    stream << bytes;
    ASSERT_TRUE(stream.good()) << path;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) { WriteBytes(path, AsText(bytes)); }

// The file's bytes; "" when it cannot be read.
inline std::string ReadBytes(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

inline Bytes ReadFile(const std::string& path)
{
    const std::string bytes = ReadBytes(path);
    return Bytes(bytes.begin(), bytes.end());
}

// Text as a text-mode stream stores it: "a\n" => "a\r\n" on Windows.
std::string StoredText(const std::string& text);

// "\x01\0\0\0" for 1.
inline std::string U32(uint32_t value)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift);
    return bytes;
}

// Overwrites the four bytes at the offset with the field.
inline void SetU32(Bytes& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

// A whole TDF section whose length field matches its contents:
//   u32 length (12 + name + data), u32 version, u32 name length, name, data.
inline Bytes Section(const std::string& name, uint32_t version, const std::string& data)
{
    const std::string bytes = U32(static_cast<uint32_t>(12 + name.size() + data.size())) + U32(version) +
                              U32(static_cast<uint32_t>(name.size())) + name + data;
    return Bytes(bytes.begin(), bytes.end());
}

// A TDF container: the signature "TDF2" followed by the sections.
inline Bytes TdfImage(const std::vector<Bytes>& sections)
{
    Bytes bytes = {'T', 'D', 'F', '2'};
    for (const Bytes& section : sections) bytes.insert(bytes.end(), section.begin(), section.end());
    return bytes;
}

}  // namespace k4xtest
