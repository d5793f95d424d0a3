// A host that ends, without unloading the library, while another of its threads logs through it in a tight loop
// (each GetOutFile logs one line for each of 200 live CPUs). It must end: Windows ends that thread first, wherever it
// stands, before the library's static destructors run.
//   exit_while_logging FOLDER   (the profile and the target description go there)
#include "LoadedLibrary.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

std::atomic<int> g_rounds{0};
Zr::Kdt::Trace::DeviceDescriptor g_descriptor = k4xtest::MakeDescriptor("K4x_DSP0");

int main(int, char** argv)
{
    std::filesystem::remove_all(argv[1]);  // the logs of earlier runs
    std::filesystem::create_directories(argv[1]);
    const std::string target = std::string(argv[1]) + "/target.txt";
    std::string cpus = "[cpus]\n";
    for (int cpu = 0; cpu < 200; ++cpu) cpus += "K4x_DSP" + std::to_string(cpu) + " = a.out\n";
    std::ofstream(target) << cpus;
    k4xplatform::SetEnvironment("USERPROFILE", argv[1]);
    k4xplatform::SetEnvironment("ZR_TRACE_LOGGING", "1");
    k4xplatform::SetEnvironment("K4X_SIM_TARGET", target.c_str());
    k4xplatform::SetEnvironment("PATH", k4xtest::SimFolder("default").c_str());
    const auto create = reinterpret_cast<CreateDeviceConfigManagerFn>(
        k4xplatform::FindSymbol(k4xplatform::OpenLibrary(K4X_LIBRARY_FILE), "CreateDeviceConfigManager"));
    Zr::Kdt::Trace::CDeviceConfigManager* manager = create != nullptr ? create(&g_descriptor, 0) : nullptr;
    if (manager == nullptr) return 3;
    // False without a settings file to reload; the live CPUs are there all the same.
    manager->LoadConfigurationLive();
    std::string outFile;
    if (!manager->GetOutFile("K4x_DSP199", outFile)) return 4;
    std::thread([manager] {
        for (std::string unknown;; ++g_rounds) manager->GetOutFile("unknown", unknown);
    }).detach();
    while (g_rounds < 3) std::this_thread::yield();
    return 0;
}
