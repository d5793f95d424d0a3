// Finding the last of N sections of a TDF file, against reading the whole
// file. The search hops from header to header, so its cost should follow N
// and not the bytes of data that it hops over: the per_hop counter is the
// time per section passed. The cold variants evict the file's pages before
// every iteration and count the bytes read from the device.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

// Drops the file's pages from the page cache, that file's only: the
// machine's other caches stay warm.
void Evict(const std::string& path)
{
    const int file = ::open(path.c_str(), O_RDONLY);
    if (file < 0 || ::fdatasync(file) != 0 || ::posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED) != 0) {
        std::fprintf(stderr, "k4x bench: cannot evict %s\n", path.c_str());
        std::exit(2);
    }
    ::close(file);
}

// read_bytes of /proc/self/io: what this process had read from the device.
int64_t DeviceBytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string field;
    int64_t value = 0;
    while (io >> field >> value) {
        if (field == "read_bytes:") return value;
    }
    return -1;
}

// Runs action once per iteration on a cold file: wall time (the wait for
// the device is the point) and the device bytes of the timed part.
template <typename Action>
void Cold(benchmark::State& state, const std::string& path, Action action)
{
    int64_t deviceBytes = 0;
    for (auto _ : state) {
        Evict(path);
        const int64_t before = DeviceBytesRead();
        const auto start = std::chrono::steady_clock::now();
        action();
        const auto stop = std::chrono::steady_clock::now();
        deviceBytes += DeviceBytesRead() - before;
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["device_bytes"] =
        benchmark::Counter(static_cast<double>(deviceBytes), benchmark::Counter::kAvgIterations);
}

void CountHops(benchmark::State& state)
{
    state.counters["per_hop"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void FindLast(const std::string& path)
{
    uint32_t size = 0;
    TdfFile().GetSectionSize(path.c_str(), kWanted, kWantedVersion, size);
    benchmark::DoNotOptimize(size);
}

// What a reader without the section headers would have to do.
std::size_t ReadWhole(const std::string& path)
{
    static std::vector<char> chunk(64 * 1024);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    std::size_t total = 0;
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) total += got;
    std::fclose(file);
    benchmark::DoNotOptimize(total);
    return total;
}

void BM_TdfFindLast(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    try {
        for (auto _ : state) FindLast(path);
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        state.SkipWithError(error.GetMessageText());
        return;
    }
    CountHops(state);
}

void BM_TdfFindLastCold(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    try {
        Cold(state, path, [&] { FindLast(path); });
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        state.SkipWithError(error.GetMessageText());
    }
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

void BM_ReadWholeFile(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    std::size_t total = 0;
    for (auto _ : state) total = ReadWhole(path);
    if (total == 0) state.SkipWithError("cannot read");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
    CountHops(state);
}

void BM_ReadWholeFileCold(benchmark::State& state)
{
    const std::string& path = TdfPath(state.range(0), state.range(1));
    Cold(state, path, [&] { ReadWhole(path); });
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

// The cold cases: the device's part must follow N, not the data.
void ColdShapes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Args({10, 64 * 1024})->Args({1000, 8 * 1024})->Args({1000, 64 * 1024})->Args({100000, 1024});
    benchmark->ArgNames({"sections", "data"})->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_TdfFindLast)->Apply(Shapes);
BENCHMARK(BM_TdfLoadLast)->Apply(Shapes);
BENCHMARK(BM_ReadWholeFile)->Apply(Shapes);
BENCHMARK(BM_TdfFindLastCold)->Apply(ColdShapes);
BENCHMARK(BM_ReadWholeFileCold)->Apply(ColdShapes);
