// Feeds every file of the folders named on the command line, in name order,
// to the fuzz target, each followed by COPIES damaged copies of it (bytes
// flipped, set to a boundary number, inserted, deleted, or the file cut
// short) made from the file's name, so that every run feeds the same
// inputs: the committed seeds and past findings run as an ordinary test on
// every build, and the targets' checks meet damaged data there too. A
// missing or empty folder fails the run, so a wrong path cannot pass
// unnoticed.
//   fuzz_replay_<target> COPIES FOLDER...
#include "FuzzTarget.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

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
                const uint32_t value = kBoundaries[engine() % std::size(kBoundaries)];
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

// The input running, named when a check aborts.
std::string g_current;

void ReportCurrent(int) { std::fprintf(stderr, "failed on %s\n", g_current.c_str()); }

void Feed(const Bytes& bytes, std::string name)
{
    g_current = std::move(name);
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const uint8_t kEmpty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kEmpty : bytes.data(), bytes.size());
}

void Replay(const fs::path& file, int copies)
{
    std::ifstream in(file, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes)\n", file.string().c_str(), bytes.size());
    std::fflush(stdout);
    Feed(bytes, file.string());
    // seed_seq's mixing is fixed by the standard, unlike the distributions.
    const std::string name = file.filename().string();
    std::seed_seq seed(name.begin(), name.end());
    std::mt19937 engine(seed);
    for (int i = 1; i <= copies; ++i) Feed(Damaged(bytes, engine), file.string() + ", damaged copy " + std::to_string(i));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s COPIES FOLDER...\n", argv[0]);
        return 2;
    }
    std::signal(SIGABRT, ReportCurrent);
    for (int i = 2; i < argc; ++i) {
        std::vector<fs::path> files;
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(argv[i], error)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        if (files.empty()) {
            std::fprintf(stderr, "%s: no inputs found\n", argv[i]);
            return 1;
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) Replay(file, std::atoi(argv[1]));
    }
    std::printf("all inputs passed\n");
    return 0;
}
