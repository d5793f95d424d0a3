#include "AetConfigSection.h"

#include "Platform.h"
#include "TdfFile.h"
#include "TdfFormat.h"

#include <algorithm>

namespace K4xFormat {

namespace {

const char kSection[] = "AETCONFIG";

// A header may claim far more data than the file holds, so the buffer is
// no larger than the file. The signature, a header and the name come before
// the data, so a section cut short still ends in at least 25 zeros: all
// that the old form's five integers and four terminators can read. Every
// payload therefore reads as from a zeroed buffer of the claimed size.
uint32_t BufferSize(const char* path, uint32_t claimed)
{
    uint64_t fileSize = 0;
    if (!ZR_KDT::platform::FileSize(path, fileSize)) return claimed;
    return static_cast<uint32_t>(std::min<uint64_t>(claimed, fileSize));
}

}  // namespace

// Readers refuse longer sections, header and name included.
const std::size_t kMaxPayload = TdfFormat::kMaxSectionLength - TdfFormat::kSectionHeaderSize - (sizeof kSection - 1);

std::vector<char> ReadAetConfigSection(const char* path, uint32_t version)
{
    TdfFile tdf;
    uint32_t size = 0;
    tdf.GetSectionSize(path, kSection, version, size);
    std::vector<char> data(BufferSize(path, size), '\0');
    uint32_t read = 0;
    tdf.LoadSection(path, kSection, version, data.data(), static_cast<uint32_t>(data.size()), read);
    return data;
}

void AppendAetConfigSection(const char* path, const std::string& payload)
{
    TdfFile tdf;
    uint32_t offset = 0, length = 0;
    tdf.AppendSectionHeader(path, kSection, kCurrentVersion, offset);
    tdf.SaveSectionData(path, offset, payload.data(), 1, static_cast<uint32_t>(payload.size()), length);
}

}  // namespace K4xFormat
