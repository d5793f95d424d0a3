// The "AETCONFIG" section of a TDF file, which holds a K4x configuration:
// version 2 is read and written, version 1 only read (AetConfigPayload.h
// tells the two payloads). Container errors throw
// Zr::Kdt::Vexa::cVexaError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace K4xFormat {

constexpr uint32_t kCurrentVersion = 2;
constexpr uint32_t kOldVersion = 1;

// The longest payload that keeps the section within what readers accept.
extern const std::size_t kMaxPayload;

// The data of the first section of the version, as a load reads it: a
// buffer of the data length that the header claims, but no larger than the
// file, zeros where the file ends early.
std::vector<char> ReadAetConfigSection(const char* path, uint32_t version);

// Appends a section of the current version that holds the payload. A header
// appended before a failed data write stays in the file.
void AppendAetConfigSection(const char* path, const std::string& payload);

}  // namespace K4xFormat
