// The TDF container read through a file: the input bytes become a .tdf
// file. The walk gives only headers and names that the file holds, each
// section behind the last, and ends cleanly exactly at the file's end; the
// size query and the load agree and fail only with a severity-2 error; a
// load gives the file's own bytes of the first matching section the walk
// found, as many as the buffer, the section and the file hold, and writes
// nothing past them. Which sections the reader accepts is pinned by the
// TDF tests.
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

using k4xtdf::TdfSectionHeader;
using k4xtdf::TdfSectionWalker;

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

std::vector<TdfSectionHeader> Walk(const std::string& path, std::size_t size)
{
    const k4xplatform::File file = k4xplatform::SystemCalls().open(path.c_str(), "rb");
    FuzzCheck(k4xplatform::IsOpen(file), "scratch file does not open");
    TdfSectionWalker walker(file);
    std::vector<TdfSectionHeader> headers;
    uint64_t next = 4;
    for (TdfSectionHeader header; walker.Next(header); next += header.length) {
        FuzzCheck(header.offset == next && header.offset + 12 + header.nameLength <= size &&
                      header.name[header.nameLength] == '\0' && header.length == 12 + header.nameLength + header.dataLength,
                  "the walk gives a header that the file does not hold");
        headers.push_back(header);
    }
    FuzzCheck((walker.GetStatus() == TdfSectionWalker::Status_End) == (next >= size), "the walk ends elsewhere");
    k4xplatform::SystemCalls().close(file);
    return headers;
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

void CheckQuery(const std::string& path, const uint8_t* data, std::size_t size,
                const std::vector<TdfSectionHeader>& headers, const char* name, uint32_t version)
{
    const auto match = std::find_if(headers.begin(), headers.end(), [&](const TdfSectionHeader& header) {
        return header.version == version && std::strcmp(header.name, name) == 0;
    });
    const bool exists = match != headers.end() && size >= 4 && std::memcmp(data, "TDF2", 4) == 0;
    TdfFile tdf;
    uint32_t dataLength = 1;
    FuzzCheck(Succeeds([&] { tdf.GetSectionSize(path.c_str(), name, version, dataLength); }) == exists &&
                  dataLength == (exists ? match->dataLength : 0),
              "the size query misses the first matching section");

    // The buffer size comes from the input, so it falls on both sides of the data length.
    const uint32_t bufferSize = 1 + (size > 0 ? data[size - 1] : 0);
    std::vector<unsigned char> buffer(bufferSize, 0xA5);
    uint32_t bytesRead = 1;
    FuzzCheck(Succeeds([&] { tdf.LoadSection(path.c_str(), name, version, buffer.data(), bufferSize, bytesRead); }) ==
                  exists,
              "the load and the size query disagree");
    const std::size_t at = exists ? match->offset + 12 + match->nameLength : size;
    FuzzCheck(bytesRead == std::min<std::size_t>({bufferSize, dataLength, size - at}) &&
                  std::memcmp(buffer.data(), data + at, bytesRead) == 0 &&
                  std::all_of(buffer.begin() + bytesRead, buffer.end(), [](unsigned char byte) { return byte == 0xA5; }),
              "the load gives other bytes than the file holds, or writes past them");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch;
    const std::string path = scratch.Write(data, size);
    const std::vector<TdfSectionHeader> headers = Walk(path, size);
    CheckQuery(path, data, size, headers, "AETCONFIG", 2);
    // The last section's own name and version, so that any stored name gets searched.
    if (!headers.empty()) CheckQuery(path, data, size, headers, headers.back().name, headers.back().version);
    return 0;
}
