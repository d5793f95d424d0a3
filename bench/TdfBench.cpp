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

#include "BenchFiles.h"
#include "BenchSandbox.h"
#include "TdfFile.h"
#include "cVexaError.h"

namespace {

// One file per shape, written by the first benchmark that needs it.
const std::string& TdfPath(int64_t sections, int64_t dataBytes)
{
    static std::map<std::pair<int64_t, int64_t>, std::string> written;
    std::string& path = written[{sections, dataBytes}];
    if (path.empty()) {
        path = k4xbench::SandboxPath("s" + std::to_string(sections) + "_d" + std::to_string(dataBytes) + ".tdf");
        k4xbench::WriteTdf(path, sections, static_cast<uint32_t>(dataBytes));
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

void FindLast(const std::string& path) { benchmark::DoNotOptimize(k4xbench::FindLastSection(path)); }

std::size_t ReadWhole(const std::string& path)
{
    const std::size_t total = k4xbench::ReadWhole(path);
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
            tdf.LoadSection(path.c_str(), k4xbench::kWantedSection, k4xbench::kWantedVersion, buffer.data(),
                            static_cast<uint32_t>(buffer.size()), read);
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
