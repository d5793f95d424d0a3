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
    for (const char c : text) {
        if (c == '\n') stored += '\r';
        stored += c;
    }
    return stored;
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

std::string U32(uint32_t value)
{
    Bytes bytes;
    PutU32(bytes, value);
    return AsText(bytes);
}

Bytes Section(const std::string& name, uint32_t version, const std::string& data)
{
    Bytes bytes;
    PutU32(bytes, static_cast<uint32_t>(12 + name.size() + data.size()));  // section length
    PutU32(bytes, version);                                                // section version
    PutU32(bytes, static_cast<uint32_t>(name.size()));                     // name length
    PutText(bytes, name);                                                  // name, no NUL
    PutText(bytes, data);                                                  // payload
    return bytes;
}

Bytes TdfImage(const std::vector<Bytes>& sections)
{
    Bytes bytes = {'T', 'D', 'F', '2'};  // signature
    for (const Bytes& section : sections) bytes.insert(bytes.end(), section.begin(), section.end());
    return bytes;
}

std::string AetConfigVersion1(const AetConfigV1& payload)
{
    std::string bytes = U32(static_cast<uint32_t>(payload.traceMode));  // "Trace Mode"
    bytes += U32(static_cast<uint32_t>(payload.numberOfAeg));           // "Number of AEG"
    bytes += U32(static_cast<uint32_t>(payload.encodingMode));          // "Encoding Mode"
    bytes += U32(static_cast<uint32_t>(payload.memoryMode));            // "Memory Mode"
    bytes += U32(static_cast<uint32_t>(payload.cemuStatus));            // "CEMU Status"
    for (const std::string& bit : payload.eventBits) bytes += bit + '\0';  // "Event Bit0".."3"
    return bytes;
}

std::string AetConfigVersion2(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    std::string text;
    for (const auto& [name, value] : pairs) text += name + "=" + value + "\n";
    return text;
}

}  // namespace k4xtest
