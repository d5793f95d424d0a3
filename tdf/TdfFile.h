// Reads and appends named, versioned sections of TDF container files.
// Stateless: every operation opens the file by path and closes it before it
// returns. All operations but IsTdfFile report failure by throwing
// Zr::Kdt::Vexa::cVexaError (severity Severity_Error); out values are
// zeroed first.
#pragma once

#include <cstdint>

#include "Platform.h"

namespace k4xtdf {
struct TdfSectionHeader;
}

class TdfFile {
public:
    // True for a path ending in ".tdf" (any case) that names a readable
    // file starting with the signature. Never throws.
    bool IsTdfFile(const char* path);

    // Data length of the first section named `name` with `version`. Any
    // extension is accepted.
    void GetSectionSize(const char* path, const char* name, uint32_t version, uint32_t& dataLength);

    // Reads the first min(bufferSize, data length) data bytes of the first
    // matching section. A section that claims more data than the file holds
    // yields what is there.
    void LoadSection(const char* path, const char* name, uint32_t version, void* buffer, uint32_t bufferSize,
                     uint32_t& bytesRead);

    // Appends an empty section (name may be null) and gives the offset of
    // its first byte. Checks neither extension nor signature.
    void AppendSectionHeader(const char* path, const char* name, uint32_t version, uint32_t& headerOffset);

    // Writes elementSize * elementCount bytes behind the present contents of
    // the section at headerOffset, which must be the file's last section,
    // and gives the section's new length.
    void SaveSectionData(const char* path, uint32_t headerOffset, const void* data, uint32_t elementSize,
                         uint32_t elementCount, uint32_t& sectionLength);

    // The path is longer than the extension and ends in "." and the
    // extension, compared without regard to case: "a.TDF" and ".tdf" end in
    // "tdf", "tdf" does not.
    static bool HasExtension(const char* path, const char* extension);

private:
    bool FileExists(const char* path);
    bool FindSection(k4xplatform::File file, const char* name, uint32_t version, k4xtdf::TdfSectionHeader& section);
    bool WriteSectionNameAndVersion(k4xplatform::File file, const char* name, uint32_t version);
};
