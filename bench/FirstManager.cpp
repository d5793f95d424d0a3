// The first manager of a process, which sets up the trace environment,
// against the first open and close of its settings file; then the same two
// in the process that has made its first manager. scripts/bench.sh runs it
// once per sample, with USERPROFILE pointing at a throw-away profile:
//   k4x_first_manager prepare        saves the settings file, prints its path
//   k4x_first_manager measure PATH   prints, in nanoseconds:
//     first_open first_manager later_open later_manager
// (the later ones are medians of kLaterSamples, taken in turns).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchSandbox.h"
#include "K4xDeviceCfgMgr.h"

namespace {

constexpr int kLaterSamples = 101;

using Clock = std::chrono::steady_clock;

template <typename Action>
long long TimeNs(Action action)
{
    const Clock::time_point start = Clock::now();
    action();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
}

long long Median(std::vector<long long> samples)
{
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

int Measure(const char* settingsPath)
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor = k4xbench::MakeDescriptor(k4xbench::kCpuName);
    bool opened = true;
    auto openAndClose = [&] {
        std::FILE* file = std::fopen(settingsPath, "r");
        opened = opened && file != nullptr;
        if (file != nullptr) std::fclose(file);
    };
    auto createAndDestroy = [&] { std::make_unique<K4xDeviceCfgMgr>(&descriptor, 0).reset(); };

    const long long firstOpen = TimeNs(openAndClose);
    const long long firstManager = TimeNs(createAndDestroy);
    std::vector<long long> laterOpen, laterManager;
    for (int i = 0; i < kLaterSamples; ++i) {
        laterOpen.push_back(TimeNs(openAndClose));
        laterManager.push_back(TimeNs(createAndDestroy));
    }
    if (!opened) {
        std::fprintf(stderr, "k4x_first_manager: cannot open %s\n", settingsPath);
        return 1;
    }
    std::printf("%lld %lld %lld %lld\n", firstOpen, firstManager, Median(laterOpen), Median(laterManager));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "prepare") == 0) {
        if (!k4xbench::SaveCpuSettings()) return 1;
        std::printf("%s\n", k4xbench::SettingsPath(k4xbench::CpuSettingsName()).c_str());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "measure") == 0) return Measure(argv[2]);
    std::fprintf(stderr, "usage: k4x_first_manager prepare | measure SETTINGS_PATH\n");
    return 2;
}
