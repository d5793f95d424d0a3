// Creating and destroying a manager in a process that made one before,
// against opening and closing the settings file that it loads.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchSandbox.h"
#include "K4xDeviceCfgMgr.h"

namespace {

void CreateAndDestroy(benchmark::State& state, const char* cpuName)
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor = k4xbench::MakeDescriptor(cpuName);
    for (auto _ : state) {
        // On the heap, as the library's factory makes it.
        auto manager = std::make_unique<K4xDeviceCfgMgr>(&descriptor, 0);
        benchmark::DoNotOptimize(manager.get());
    }
}

// A configured device: its settings file is there and gets loaded.
void BM_ManagerCreateDestroy(benchmark::State& state) { CreateAndDestroy(state, k4xbench::kCpuName); }

// A device that was never configured: no settings file.
void BM_ManagerCreateDestroyUnconfigured(benchmark::State& state) { CreateAndDestroy(state, "K4x_Unconfigured"); }

void BM_SettingsOpenClose(benchmark::State& state)
{
    const std::string path = k4xbench::SettingsPath(k4xbench::CpuSettingsName());
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "r");
        if (file == nullptr) {
            state.SkipWithError("cannot open the settings file");
            return;
        }
        std::fclose(file);
    }
}

}  // namespace

BENCHMARK(BM_ManagerCreateDestroy);
BENCHMARK(BM_ManagerCreateDestroyUnconfigured);
BENCHMARK(BM_SettingsOpenClose);
