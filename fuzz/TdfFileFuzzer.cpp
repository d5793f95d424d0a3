// The TDF container read through a file. The input bytes become a .tdf
// file; the section walker, GetSectionSize and LoadSection must agree with
// a plain reading of the same bytes by the container's rules: the same
// sections in the same order, the same first match and data length, and
// exactly the bytes that the file holds for it, never more than the buffer.
#include "FuzzTarget.h"
#include "TdfFile.h"
#include "TdfSectionWalker.h"
#include "cVexaError.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kSignature = 0x32464454;  // "TDF2"
constexpr uint32_t kHeaderSize = 12;

struct Section {
    std::size_t offset;
    uint32_t length;
    uint32_t version;
    std::string name;  // the stored bytes, NULs included
};

uint32_t WordAt(const uint8_t* data, std::size_t at)
{
    uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte) value = value << 8 | data[at + byte];
    return value;
}

// The sections a reader accepts, read straight from the bytes; cleanEnd
// tells whether the list ends at or behind the end of the bytes.
std::vector<Section> SectionsIn(const uint8_t* data, std::size_t size, bool& cleanEnd)
{
    std::vector<Section> sections;
    std::size_t at = 4;
    for (; at + kHeaderSize <= size; at += sections.back().length) {
        const uint32_t length = WordAt(data, at);
        const uint32_t nameLength = WordAt(data, at + 8);
        if (length > 0x8000000 || nameLength >= 260 || length < kHeaderSize + nameLength ||
            at + kHeaderSize + nameLength > size) {
            break;
        }
        const char* name = reinterpret_cast<const char*>(data + at + kHeaderSize);
        sections.push_back({at, length, WordAt(data, at + 4), std::string(name, nameLength)});
    }
    cleanEnd = at >= size;
    return sections;
}

// A fixed scratch file for the whole process, removed at its end.
class ScratchFile {
public:
    ScratchFile()
        : m_path(std::filesystem::temp_directory_path() /
                 ("k4x-fuzz-" + std::to_string(std::random_device{}()) + ".tdf"))
    {
    }
    ~ScratchFile()
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    std::string Write(const uint8_t* data, std::size_t size) const
    {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
        return m_path.string();
    }

private:
    std::filesystem::path m_path;
};

void CheckWalk(const std::string& path, const std::vector<Section>& expected, bool cleanEnd)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    FuzzCheck(stream != nullptr, "scratch file does not open");
    TdfSectionWalker walker(stream);
    TdfSectionHeader header;
    std::size_t count = 0;
    for (; walker.Next(header); ++count) {
        FuzzCheck(count < expected.size(), "walker finds a section the bytes do not hold");
        const Section& section = expected[count];
        FuzzCheck(header.offset == section.offset && header.length == section.length &&
                      header.version == section.version && header.nameLength == section.name.size(),
                  "walker's header differs from the bytes");
        FuzzCheck(std::memcmp(header.name, section.name.data(), section.name.size()) == 0 &&
                      header.name[header.nameLength] == '\0',
                  "walker's name differs from the bytes");
        FuzzCheck(header.dataLength == header.length - kHeaderSize - header.nameLength, "wrong data length");
    }
    FuzzCheck(count == expected.size(), "walker stops early");
    FuzzCheck((walker.GetStatus() == TdfSectionWalker::Status_End) == cleanEnd, "walker's end status is wrong");
    std::fclose(stream);
}

template <typename Call>
bool Succeeds(Call&& call)
{
    try {
        call();
        return true;
    } catch (const Zr::Kdt::Vexa::cVexaErrorIF& error) {
        FuzzCheck(error.GetSeverity() == Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error, "error of the wrong severity");
        return false;
    }
}

void CheckQuery(const std::string& path, const uint8_t* data, std::size_t size, const std::vector<Section>& sections,
                const std::string& name, uint32_t version)
{
    const auto match = std::find_if(sections.begin(), sections.end(), [&](const Section& section) {
        // Stored names compare up to their first NUL.
        return section.version == version && std::strcmp(section.name.c_str(), name.c_str()) == 0;
    });
    const bool exists = match != sections.end() && size >= 4 && WordAt(data, 0) == kSignature;
    const uint32_t dataLength = exists ? match->length - kHeaderSize - static_cast<uint32_t>(match->name.size()) : 0;
    const std::size_t dataOffset = exists ? match->offset + kHeaderSize + match->name.size() : size;

    TdfFile tdf;
    uint32_t foundLength = 1;
    FuzzCheck(Succeeds([&] { tdf.GetSectionSize(path.c_str(), name.c_str(), version, foundLength); }) == exists,
              "GetSectionSize disagrees with the bytes");
    FuzzCheck(foundLength == dataLength, "GetSectionSize gives the wrong data length");

    // The buffer size comes from the input, so it falls on both sides of the data length.
    const uint32_t bufferSize = 1 + (size > 0 ? data[size - 1] : 0);
    std::vector<unsigned char> buffer(bufferSize, 0xA5);
    uint32_t bytesRead = 1;
    const bool loaded =
        Succeeds([&] { tdf.LoadSection(path.c_str(), name.c_str(), version, buffer.data(), bufferSize, bytesRead); });
    FuzzCheck(loaded == exists, "LoadSection disagrees with GetSectionSize");
    const std::size_t expectedRead = std::min<std::size_t>({bufferSize, dataLength, size - dataOffset});
    FuzzCheck(bytesRead == expectedRead, "LoadSection reports the wrong number of bytes");
    FuzzCheck(std::memcmp(buffer.data(), data + dataOffset, bytesRead) == 0, "LoadSection gives other bytes");
    FuzzCheck(std::all_of(buffer.begin() + bytesRead, buffer.end(), [](unsigned char byte) { return byte == 0xA5; }),
              "LoadSection writes past the bytes it reports");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch;
    const std::string path = scratch.Write(data, size);
    bool cleanEnd = false;
    const std::vector<Section> sections = SectionsIn(data, size, cleanEnd);

    FuzzCheck(TdfFile().IsTdfFile(path.c_str()) == (size >= 4 && WordAt(data, 0) == kSignature),
              "IsTdfFile disagrees with the signature");
    CheckWalk(path, sections, cleanEnd);
    CheckQuery(path, data, size, sections, "AETCONFIG", 2);
    // The last section's own name and version, so that any stored name gets searched.
    if (!sections.empty()) CheckQuery(path, data, size, sections, sections.back().name, sections.back().version);
    return 0;
}
