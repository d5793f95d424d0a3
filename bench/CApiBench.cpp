// The C interface against the C++ interface of the same loaded library:
// setting and getting a property and loading the settings file, each
// through both, side by side in one run.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchSandbox.h"
#include "CApiManagers.h"

namespace {

using k4xbench::CManager;
using k4xbench::CxxManager;
using Zr::Kdt::Trace::CK4xDeviceConfigManager;
using Zr::Kdt::Trace::PropertyValue;

// The manager of each interface, or the benchmark ends with an error.
template <typename Manager>
bool Made(benchmark::State& state, Manager* manager)
{
    if (manager == nullptr) state.SkipWithError("no manager: the library did not load");
    return manager != nullptr;
}

void BM_CxxSetProperty(benchmark::State& state)
{
    CK4xDeviceConfigManager* manager = CxxManager();
    if (!Made(state, manager)) return;
    PropertyValue value;
    for (auto _ : state) {
        value.intValue = static_cast<int32_t>(state.iterations());
        benchmark::DoNotOptimize(manager->SetProperty("Trace Mode", value));
    }
}

void BM_CApiSetProperty(benchmark::State& state)
{
    k4x_manager* manager = CManager();
    if (!Made(state, manager)) return;
    for (auto _ : state) {
        benchmark::DoNotOptimize(k4x_set_int(manager, "Trace Mode", static_cast<int32_t>(state.iterations())));
    }
}

void BM_CxxGetProperty(benchmark::State& state)
{
    CK4xDeviceConfigManager* manager = CxxManager();
    if (!Made(state, manager)) return;
    for (auto _ : state) {
        PropertyValue value;
        benchmark::DoNotOptimize(manager->GetProperty("Trace Mode", value));
        benchmark::DoNotOptimize(value.intValue);
    }
}

void BM_CApiGetProperty(benchmark::State& state)
{
    k4x_manager* manager = CManager();
    if (!Made(state, manager)) return;
    for (auto _ : state) {
        int32_t value = 0;
        benchmark::DoNotOptimize(k4x_get_int(manager, "Trace Mode", &value));
        benchmark::DoNotOptimize(value);
    }
}

void BM_CxxLoadSettings(benchmark::State& state)
{
    CK4xDeviceConfigManager* manager = CxxManager();
    if (!Made(state, manager)) return;
    const std::string name = k4xbench::CpuSettingsName();
    for (auto _ : state) benchmark::DoNotOptimize(manager->LoadConfiguration(name, 1));
}

void BM_CApiLoadSettings(benchmark::State& state)
{
    k4x_manager* manager = CManager();
    if (!Made(state, manager)) return;
    const std::string name = k4xbench::CpuSettingsName();
    for (auto _ : state) benchmark::DoNotOptimize(k4x_load(manager, name.c_str(), K4X_FILE_TEXT));
}

}  // namespace

BENCHMARK(BM_CxxSetProperty);
BENCHMARK(BM_CApiSetProperty);
BENCHMARK(BM_CxxGetProperty);
BENCHMARK(BM_CApiGetProperty);
BENCHMARK(BM_CxxLoadSettings);
BENCHMARK(BM_CApiLoadSettings);
