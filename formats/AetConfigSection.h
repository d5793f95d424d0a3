// The "AETCONFIG" section of a TDF file, which holds a K4x configuration:
// version 2 is read and written, version 1 only read (AetConfigPayload.h
// tells the two payloads). Failures come back as statuses with the
// container's own text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace k4xformat {

constexpr uint32_t kCurrentVersion = 2;
constexpr uint32_t kOldVersion = 1;

// The longest payload that keeps the section within what readers accept.
extern const std::size_t kMaxPayload;

struct AetConfigSection {
    enum Status {
        Status_Read,          // version and payload hold the section
        Status_NotContainer,  // the path names no TDF file
        Status_NoSection,     // no version could be read; failure says why
    };
    Status status = Status_NoSection;
    uint32_t version = 0;
    // A buffer of the data length that the header claims, but no larger
    // than the file, zeros where the file ends early.
    std::vector<char> payload;
    // The container's text from the read of the old version.
    std::string failure;
};

// The first section of the current version, else the first of the old one.
AetConfigSection ReadAetConfigSection(const char* path);

// Appends a section of the current version that holds the payload; false
// with the container's text in failure. A header appended before a failed
// data write stays in the file.
bool AppendAetConfigSection(const char* path, const std::string& payload, std::string& failure);

}  // namespace k4xformat
