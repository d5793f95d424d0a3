#include "BenchFiles.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "TdfFile.h"

namespace k4xbench {

namespace {

// Every readable property, in the form the writer gives them.
const char* const kEntries[] = {
    "Trace Mode = 3\n",          "Encoding Mode = 1\n",       "Sync Frequency = 256\n",    "Number of AEG = 4\n",
    "Memory Mode = 2\n",         "CEMU Status = 1\n",         "Event Bit0 = 0x0000ABCD\n", "Event Bit1 = 0x00001234\n",
    "Event Bit2 = 0x0000FFFF\n", "Event Bit3 = 0x00000000\n", "TWP_Protocol = 1\n",
};

void PutU32(std::string& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string SectionHeader(const std::string& name, uint32_t version, uint32_t dataBytes)
{
    std::string header;
    PutU32(header, static_cast<uint32_t>(12 + name.size() + dataBytes));
    PutU32(header, version);
    PutU32(header, static_cast<uint32_t>(name.size()));
    return header + name;
}

}  // namespace

std::string SettingsText(int64_t lines)
{
    std::string bytes;
    for (int64_t i = 0; i < lines; ++i) bytes += kEntries[i % (sizeof kEntries / sizeof kEntries[0])];
    return bytes;
}

std::string SettingsTextName(int64_t lines) { return "Entries" + std::to_string(lines) + "-TCfg.txt"; }

void WriteTdf(const std::string& path, int64_t sections, uint32_t dataBytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const std::string data(dataBytes, '\x5A');
    bool written = file != nullptr && std::fwrite("TDF2", 1, 4, file) == 4;
    for (int64_t i = 0; written && i < sections; ++i) {
        const std::string header = SectionHeader(kWantedSection, i + 1 < sections ? 1 : kWantedVersion, dataBytes);
        written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                  std::fwrite(data.data(), 1, data.size(), file) == data.size();
    }
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "k4x bench: cannot write %s\n", path.c_str());
        std::exit(2);
    }
}

uint32_t FindLastSection(const std::string& path)
{
    uint32_t size = 0;
    TdfFile().GetSectionSize(path.c_str(), kWantedSection, kWantedVersion, size);
    return size;
}

std::size_t ReadWhole(const std::string& path)
{
    static std::vector<char> chunk(64 * 1024);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    std::size_t total = 0;
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) total += got;
    std::fclose(file);
    return total;
}

int64_t ReadLines(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return -1;
    char line[1024];
    int64_t lines = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) ++lines;
    std::fclose(file);
    return lines;
}

}  // namespace k4xbench
