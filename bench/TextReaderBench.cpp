// Loading a settings file of many entries through the manager, against a
// plain fgets loop over the same bytes. The reader over bytes already in
// memory tells the parsing from the file reading.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "BenchFiles.h"
#include "BenchSandbox.h"
#include "K4xDeviceCfgMgr.h"
#include "K4xTextFormat.h"

namespace {

// A settings file of the given number of lines, written once.
const std::string& Bytes(int64_t lines)
{
    static std::map<int64_t, std::string> made;
    std::string& bytes = made[lines];
    if (bytes.empty()) {
        bytes = k4xbench::SettingsText(lines);
        k4xbench::WriteFile(k4xbench::SettingsPath(k4xbench::SettingsTextName(lines)), bytes);
    }
    return bytes;
}

K4xDeviceCfgMgr& Manager()
{
    static Zr::Kdt::Trace::DeviceDescriptor descriptor = k4xbench::MakeDescriptor("K4x_Loader");
    static K4xDeviceCfgMgr manager(&descriptor, 0);
    return manager;
}

void CountLines(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Bytes(state.range(0)).size()));
}

// The probe, the read of the whole file, parsing and storing every entry.
void BM_LoadConfiguration(benchmark::State& state)
{
    Bytes(state.range(0));
    const std::string name = k4xbench::SettingsTextName(state.range(0));
    K4xDeviceCfgMgr& manager = Manager();
    for (auto _ : state) {
        if (!manager.LoadConfiguration(name, 1)) {
            state.SkipWithError(manager.GetErrorMessage().c_str());
            return;
        }
    }
    CountLines(state);
}

// Parsing alone: the text reader over the file's bytes, copied in as the
// load hands them over.
void BM_TextReaderInMemory(benchmark::State& state)
{
    const std::string& bytes = Bytes(state.range(0));
    k4xformat::TextEntry entry;
    for (auto _ : state) {
        k4xformat::TextReader reader(bytes);
        while (reader.Next(entry) == k4xformat::TextReader::Result_Entry) benchmark::DoNotOptimize(entry.value.data());
    }
    CountLines(state);
}

void BM_FgetsLoop(benchmark::State& state)
{
    Bytes(state.range(0));
    const std::string path = k4xbench::SettingsPath(k4xbench::SettingsTextName(state.range(0)));
    for (auto _ : state) {
        if (k4xbench::ReadLines(path) < 0) {
            state.SkipWithError("cannot open");
            return;
        }
    }
    CountLines(state);
}

}  // namespace

BENCHMARK(BM_LoadConfiguration)->Arg(10000)->Arg(100000)->ArgName("lines");
BENCHMARK(BM_TextReaderInMemory)->Arg(10000)->Arg(100000)->ArgName("lines");
BENCHMARK(BM_FgetsLoop)->Arg(10000)->Arg(100000)->ArgName("lines");
