// Files as bytes, and byte builders for TDF containers and AETCONFIG
// payloads. Every number is a little-endian field.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
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

// Appends a 32-bit field.
void PutU32(Bytes& bytes, uint32_t value);
// Overwrites the four bytes at the offset with a 32-bit field.
void SetU32(Bytes& bytes, std::size_t at, uint32_t value);
void PutText(Bytes& bytes, const std::string& text);
// "\x01\0\0\0" for 1: a 32-bit field as text.
std::string U32(uint32_t value);

// A whole TDF section whose length field matches its contents:
//   u32 length (12 + name + data), u32 version, u32 name length, name, data.
Bytes Section(const std::string& name, uint32_t version, const std::string& data);
// A TDF container: the signature "TDF2" followed by the sections.
Bytes TdfImage(const std::vector<Bytes>& sections);

// The integers of a version-1 AETCONFIG payload, in their stored order.
struct AetConfigV1 {
    int32_t traceMode = 0;
    int32_t numberOfAeg = 0;
    int32_t encodingMode = 0;
    int32_t memoryMode = 0;
    int32_t cemuStatus = 0;
    std::array<std::string, 4> eventBits;  // "Event Bit0" to "Event Bit3"
};
// Five 32-bit integers, then the four event bits, each ended by a NUL.
std::string AetConfigVersion1(const AetConfigV1& payload);
// The version-2 text: "name=value\n" per pair.
std::string AetConfigVersion2(const std::vector<std::pair<std::string, std::string>>& pairs);

}  // namespace k4xtest
