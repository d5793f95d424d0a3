// Feeds every file of the folders named on the command line, in name order,
// to the fuzz target once: the committed seeds and past findings run as an
// ordinary test on every build. A missing or empty folder fails the run, so
// a wrong path cannot pass unnoticed.
#include "FuzzTarget.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

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

void Replay(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes)\n", file.string().c_str(), bytes.size());
    std::fflush(stdout);
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const uint8_t kEmpty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kEmpty : bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> files = FilesIn(argv[i]);
        if (files.empty()) {
            std::fprintf(stderr, "%s: no inputs found\n", argv[i]);
            return 1;
        }
        for (const fs::path& file : files) Replay(file);
    }
    std::printf("all inputs passed\n");
    return 0;
}
