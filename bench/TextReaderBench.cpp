// Loading a settings file of many entries through the manager, against a
// plain fgets loop over the same bytes. The reader over bytes already in
// memory tells the parsing from the file reading.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "BenchSandbox.h"
#include "K4xDeviceCfgMgr.h"
#include "K4xTextFormat.h"

namespace {

// Every readable property, in the form the writer gives them.
const char* const kEntries[] = {
    "Trace Mode = 3\n",          "Encoding Mode = 1\n",       "Sync Frequency = 256\n",    "Number of AEG = 4\n",
    "Memory Mode = 2\n",         "CEMU Status = 1\n",         "Event Bit0 = 0x0000ABCD\n", "Event Bit1 = 0x00001234\n",
    "Event Bit2 = 0x0000FFFF\n", "Event Bit3 = 0x00000000\n", "TWP_Protocol = 1\n",
};

std::string FileName(int64_t lines) { return "Entries" + std::to_string(lines) + "-TCfg.txt"; }

// A settings file of the given number of lines, written once; the last
// entry of each property wins, so every line is applied.
const std::string& Bytes(int64_t lines)
{
    static std::map<int64_t, std::string> made;
    std::string& bytes = made[lines];
    if (bytes.empty()) {
        for (int64_t i = 0; i < lines; ++i) bytes += kEntries[i % (sizeof kEntries / sizeof kEntries[0])];
        k4xbench::WriteFile(k4xbench::SettingsPath(FileName(lines)), bytes);
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
    const std::string name = FileName(state.range(0));
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
    K4xFormat::TextEntry entry;
    for (auto _ : state) {
        K4xFormat::TextReader reader(bytes);
        while (reader.Next(entry) == K4xFormat::TextReader::Result_Entry) benchmark::DoNotOptimize(entry.value.data());
    }
    CountLines(state);
}

void BM_FgetsLoop(benchmark::State& state)
{
    Bytes(state.range(0));
    const std::string path = k4xbench::SettingsPath(FileName(state.range(0)));
    char line[1024];
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "r");
        if (file == nullptr) {
            state.SkipWithError("cannot open");
            return;
        }
        while (std::fgets(line, sizeof line, file) != nullptr) benchmark::DoNotOptimize(line);
        std::fclose(file);
    }
    CountLines(state);
}

}  // namespace

BENCHMARK(BM_LoadConfiguration)->Arg(10000)->Arg(100000)->ArgName("lines");
BENCHMARK(BM_TextReaderInMemory)->Arg(10000)->Arg(100000)->ArgName("lines");
BENCHMARK(BM_FgetsLoop)->Arg(10000)->Arg(100000)->ArgName("lines");
