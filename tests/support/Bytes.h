// Files as bytes, and byte builders for TDF containers. Every number is a
// little-endian 32-bit field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace k4xtest {

using Bytes = std::vector<unsigned char>;

void WriteFile(const std::string& path, const Bytes& bytes);
void WriteBytes(const std::string& path, const std::string& bytes);
Bytes ReadFile(const std::string& path);
// The file's bytes; "" when it cannot be read.
std::string ReadBytes(const std::string& path);
std::string AsText(const Bytes& bytes);
// Text as a text-mode stream stores it: "a\n" => "a\r\n" on Windows.
std::string StoredText(const std::string& text);

// "\x01\0\0\0" for 1.
std::string U32(uint32_t value);
// Overwrites the four bytes at the offset with the field.
void SetU32(Bytes& bytes, std::size_t at, uint32_t value);

// A whole TDF section whose length field matches its contents:
//   u32 length (12 + name + data), u32 version, u32 name length, name, data.
Bytes Section(const std::string& name, uint32_t version, const std::string& data);
// A TDF container: the signature "TDF2" followed by the sections.
Bytes TdfImage(const std::vector<Bytes>& sections);

}  // namespace k4xtest
