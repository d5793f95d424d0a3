// Runs one kind of work a given number of times inside Counted(), for the
// figures that the machine's load does not change: scripts/bench.sh --counts
// runs it under callgrind (instructions and locked instructions in Counted)
// and strace (system calls, against a run with nothing counted).
//   k4x_count ulogger N | spdlog N   N log lines, after 100 that open the file
//   k4x_count later N                N managers, after the first one
//   k4x_count open N                 N fopen + fclose of the settings file
//   k4x_count first | none           the first manager of the process, or nothing
// "first" and "none" use the profile in USERPROFILE, which must hold the
// settings file already (k4x_first_manager prepare); the others make their own.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "BenchSandbox.h"
#include "K4xDeviceCfgMgr.h"
#include "LoggerLines.h"

namespace {

void CreateAndDestroyManager()
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor = k4xbench::MakeDescriptor(k4xbench::kCpuName);
    std::make_unique<K4xDeviceCfgMgr>(&descriptor, 0).reset();
}

void OpenAndCloseSettings(const std::string& path)
{
    if (std::FILE* file = std::fopen(path.c_str(), "r")) std::fclose(file);
}

// The only function whose work the counts take in.
template <typename Work>
__attribute__((noinline)) void Counted(int times, Work work)
{
    for (int i = 0; i < times; ++i) work();
}

int Run(const std::string& mode, int times)
{
    // A process that has started a thread locks its streams, as the
    // benchmarks' process and a debugger do.
    std::thread([] {}).join();
    if (mode == "first") Counted(1, CreateAndDestroyManager);
    if (mode == "first" || mode == "none") return 0;
    k4xbench::CreateSandbox();
    if (!k4xbench::SaveCpuSettings()) return 2;
    if (mode == "later") {
        Counted(times, CreateAndDestroyManager);
    } else if (mode == "open") {
        const std::string path = k4xbench::SettingsPath(k4xbench::CpuSettingsName());
        Counted(times, [&] { OpenAndCloseSettings(path); });
    } else if (mode == "ulogger") {
        ZR_KDT::uLogger logger(k4xbench::SandboxPath("ulogger.log").c_str(), false);
        for (int i = 0; i < 100; ++i) k4xbench::LogLine(logger);
        Counted(times, [&] { k4xbench::LogLine(logger); });
    } else if (mode == "spdlog") {
        const auto logger = k4xbench::MakeSpdlog(k4xbench::SandboxPath("spdlog.log"));
        for (int i = 0; i < 100; ++i) k4xbench::LogLine(*logger);
        Counted(times, [&] { k4xbench::LogLine(*logger); });
    } else {
        return -1;
    }
    k4xbench::RemoveSandbox();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int result = argc >= 2 ? Run(argv[1], argc >= 3 ? std::atoi(argv[2]) : 0) : -1;
    if (result < 0) std::fprintf(stderr, "usage: k4x_count ulogger|spdlog|later|open N | first | none\n");
    return result < 0 ? 2 : result;
}
