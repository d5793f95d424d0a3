#include "AetConfigSection.h"

#include "Platform.h"
#include "TdfFile.h"
#include "TdfFormat.h"
#include "cVexaError.h"

#include <algorithm>

namespace k4xformat {

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
    if (!k4xplatform::FileSize(path, fileSize)) return claimed;
    return static_cast<uint32_t>(std::min<uint64_t>(claimed, fileSize));
}

// The container reports every failure by throwing its error; here it
// becomes a status.
AetConfigSection ReadVersion(const char* path, uint32_t version)
{
    AetConfigSection section;
    try {
        TdfFile tdf;
        uint32_t size = 0;
        tdf.GetSectionSize(path, kSection, version, size);
        section.payload.assign(BufferSize(path, size), '\0');
        uint32_t read = 0;
        tdf.LoadSection(path, kSection, version, section.payload.data(), static_cast<uint32_t>(section.payload.size()),
                        read);
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        section.payload.clear();
        section.failure = error.GetMessageText();
        return section;
    }
    section.status = AetConfigSection::Status_Read;
    section.version = version;
    return section;
}

}  // namespace

// Readers refuse longer sections, header and name included.
const std::size_t kMaxPayload = k4xtdf::kMaxSectionLength - k4xtdf::kSectionHeaderSize - (sizeof kSection - 1);

AetConfigSection ReadAetConfigSection(const char* path)
{
    if (!TdfFile().IsTdfFile(path)) {
        AetConfigSection none;
        none.status = AetConfigSection::Status_NotContainer;
        return none;
    }
    AetConfigSection current = ReadVersion(path, kCurrentVersion);
    if (current.status == AetConfigSection::Status_Read) return current;
    return ReadVersion(path, kOldVersion);
}

bool AppendAetConfigSection(const char* path, const std::string& payload, std::string& failure)
{
    try {
        TdfFile tdf;
        uint32_t offset = 0, length = 0;
        tdf.AppendSectionHeader(path, kSection, kCurrentVersion, offset);
        tdf.SaveSectionData(path, offset, payload.data(), 1, static_cast<uint32_t>(payload.size()), length);
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        failure = error.GetMessageText();
        return false;
    }
    return true;
}

}  // namespace k4xformat
