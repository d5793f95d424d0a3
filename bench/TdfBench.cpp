// Finding the last of N sections of a TDF file, against reading the whole
// file. The search hops from header to header, so its cost should follow N
// and not the bytes of data that it hops over: the per_hop counter is the
// time per section passed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BenchSandbox.h"
#include "TdfFile.h"
#include "cVexaError.h"

namespace {

constexpr char kWanted[] = "AETCONFIG";
constexpr uint32_t kWantedVersion = 2;

void PutU32(std::string& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string SectionHeader(const std::string& name, uint32_t version, uint32_t dataBytes)
{
    std::string header;
    PutU32(header, static_cast<uint32_t>(12 + name.size() + dataBytes));
    PutU32(header, version);
    PutU32(header, static_cast<uint32_t>(name.size()));
    return header + name;
}

// Fillers named like the wanted section but of another version, so that
// every header is read and compared, then the wanted section last.
void WriteTdf(const std::string& path, int64_t sections, uint32_t dataBytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const std::string data(dataBytes, '\x5A');
    bool written = file != nullptr && std::fwrite("TDF2", 1, 4, file) == 4;
    for (int64_t i = 0; written && i < sections; ++i) {
        const std::string header = SectionHeader(kWanted, i + 1 < sections ? 1 : kWantedVersion, dataBytes);
        written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                  std::fwrite(data.data(), 1, data.size(), file) == data.size();
    }
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "k4x bench: cannot write %s\n", path.c_str());
        std::exit(2);
    }
}

// One file per shape, written by the first benchmark that needs it.
const std::string& TdfPath(int64_t sections, int64_t dataBytes)
{
    static std::map<std::pair<int64_t, int64_t>, std::string> written;
    std::string& path = written[{sections, dataBytes}];
    if (path.empty()) {
        path = k4xbench::SandboxPath("s" + std::to_string(sections) + "_d" + std::to_string(dataBytes) + ".tdf");
        WriteTdf(path, sections, static_cast<uint32_t>(dataBytes));
    }
    return path;
}

void CountHops(benchmark::State& state)
{
    state.counters["per_hop"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_TdfFindLast(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    TdfFile tdf;
    uint32_t size = 0;
    try {
        for (auto _ : state) {
            tdf.GetSectionSize(path.c_str(), kWanted, kWantedVersion, size);
            benchmark::DoNotOptimize(size);
        }
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        state.SkipWithError(error.GetMessageText());
        return;
    }
    CountHops(state);
}

void BM_TdfLoadLast(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    TdfFile tdf;
    std::vector<char> buffer(static_cast<std::size_t>(state.range(1)));
    uint32_t read = 0;
    try {
        for (auto _ : state) {
            tdf.LoadSection(path.c_str(), kWanted, kWantedVersion, buffer.data(), static_cast<uint32_t>(buffer.size()),
                            read);
            benchmark::DoNotOptimize(buffer.data());
        }
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        state.SkipWithError(error.GetMessageText());
        return;
    }
    if (read != buffer.size()) state.SkipWithError("short section");
    CountHops(state);
}

// What a reader without the section headers would have to do.
void BM_ReadWholeFile(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    std::vector<char> chunk(64 * 1024);
    std::size_t total = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("cannot open");
            return;
        }
        total = 0;
        std::size_t got;
        while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) total += got;
        std::fclose(file);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
    CountHops(state);
}

// 100,000 sections only with 1 KiB each: 100,000 x 64 KiB would be 6.4 GB.
void Shapes(benchmark::internal::Benchmark* benchmark)
{
    for (int64_t sections : {10, 1000}) {
        for (int64_t dataBytes : {1024, 8 * 1024, 64 * 1024}) benchmark->Args({sections, dataBytes});
    }
    benchmark->Args({100000, 1024});
    benchmark->ArgNames({"sections", "data"});
}

}  // namespace

BENCHMARK(BM_TdfFindLast)->Apply(Shapes);
BENCHMARK(BM_TdfLoadLast)->Apply(Shapes);
BENCHMARK(BM_ReadWholeFile)->Apply(Shapes);
