// The files that the benchmarks and the counts read, and the plain C
// library readers that are their yardsticks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace k4xbench {

// The section that the TDF benchmarks look for, last in its file.
constexpr char kWantedSection[] = "AETCONFIG";
constexpr uint32_t kWantedVersion = 2;

// A settings file of the given number of lines, each a valid entry in the
// writer's form; the last entry of each property wins, so every line is
// applied.
std::string SettingsText(int64_t lines);

// The name in the settings directory under which SettingsText(lines) goes.
std::string SettingsTextName(int64_t lines);

// Writes a TDF file of `sections` sections of `dataBytes` bytes each:
// fillers named like the wanted section but of another version, so that
// every header is read and compared, then the wanted section last.
void WriteTdf(const std::string& path, int64_t sections, uint32_t dataBytes);

// The data length of the wanted section, found by the section headers.
uint32_t FindLastSection(const std::string& path);

// fopen, a 64 KiB fread loop over the whole file, fclose: what a reader
// without the section headers has to do. Returns the bytes read.
std::size_t ReadWhole(const std::string& path);

// fopen, an fgets loop, fclose. Returns the lines read, or -1 when the file
// does not open.
int64_t ReadLines(const std::string& path);

}  // namespace k4xbench
