// Feeds every file of the folders named on the command line, in name order,
// to the fuzz target: the committed seeds and past findings run as an
// ordinary test on every build. With --mutations N each file is followed by
// N damaged copies of it (bytes flipped, set to a boundary number, inserted,
// deleted, or the file cut short), made from a fixed seed and the file's
// name, so that every run feeds the same inputs and the targets' checks
// meet damaged data on every build. A missing or empty folder fails the
// run, so a wrong path cannot pass unnoticed.
#include "FuzzTarget.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<fs::path> FilesIn(const char* folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void Feed(const Bytes& bytes)
{
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const uint8_t kEmpty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kEmpty : bytes.data(), bytes.size());
}

// Numbers at the edges of the formats' fields and limits.
const uint32_t kBoundaries[] = {0, 1, 11, 12, 20, 21, 259, 260, 1023, 1024, 0x7FFFFFFF, 0x8000000, 0x8000001, 0xFFFFFFFF};

// One to four kinds of damage, each at a place the engine picks. The
// engine's raw output is used, never a distribution, whose results the
// standard leaves to each library.
Bytes Damaged(Bytes bytes, std::mt19937& engine)
{
    const int count = 1 + static_cast<int>(engine() % 4);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = bytes.empty() ? 0 : engine() % bytes.size();
        switch (engine() % 5) {
        case 0:
            if (!bytes.empty()) bytes[at] ^= static_cast<uint8_t>(1u << (engine() % 8));
            break;
        case 1:
            if (bytes.size() >= 4) {
                const uint32_t value = kBoundaries[engine() % (sizeof kBoundaries / sizeof kBoundaries[0])];
                const std::size_t word = std::min(at, bytes.size() - 4);
                for (int b = 0; b < 4; ++b) bytes[word + b] = static_cast<uint8_t>(value >> (8 * b));
            }
            break;
        case 2:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(engine()));
            break;
        case 3:
            if (!bytes.empty()) bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        default:
            bytes.resize(at);
        }
    }
    return bytes;
}

// Which input is running, for the report when a check aborts.
std::string g_current;

void ReportCurrent(int)
{
    std::fprintf(stderr, "failed on %s\n", g_current.c_str());
}

uint32_t SeedFor(const std::string& name)
{
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return hash ^ 20261206u;
}

void Replay(const fs::path& file, int mutations)
{
    std::ifstream in(file, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes, %d damaged copies)\n", file.string().c_str(), bytes.size(), mutations);
    std::fflush(stdout);
    g_current = file.string();
    Feed(bytes);
    std::mt19937 engine(SeedFor(file.filename().string()));
    for (int i = 1; i <= mutations; ++i) {
        g_current = file.string() + ", damaged copy " + std::to_string(i);
        Feed(Damaged(bytes, engine));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    int mutations = 0;
    if (argc > 2 && std::strcmp(argv[1], "--mutations") == 0) {
        mutations = std::atoi(argv[2]);
        first = 3;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: %s [--mutations N] FOLDER...\n", argv[0]);
        return 2;
    }
    std::signal(SIGABRT, ReportCurrent);
    for (int i = first; i < argc; ++i) {
        const std::vector<fs::path> files = FilesIn(argv[i]);
        if (files.empty()) {
            std::fprintf(stderr, "%s: no inputs found\n", argv[i]);
            return 1;
        }
        for (const fs::path& file : files) Replay(file, mutations);
    }
    std::printf("all inputs passed\n");
    return 0;
}
