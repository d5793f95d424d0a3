// Runs one kind of work a given number of times inside Counted(), for the
// figures that the machine's load does not change: bench/counts.py runs it
// under callgrind (instructions and locked instructions in CountedLoop) and
// strace (the system calls between the marks around it).
//   k4x_count MODE N
// Modes (the rows of bench/budgets.txt):
//   log-line, spdlog-line          a log line with its flush, after 100 that open the file
//   later-manager, fopen-fclose    a manager after the first one; fopen + fclose of its settings file
//   first-manager                  the first manager of the process (N = 1), in USERPROFILE's
//                                  profile, which must hold the settings file already
//                                  (k4x_first_manager prepare)
//   text-load, fgets-loop          a load of a settings file of 10,000 lines; an fgets loop over it
//   tdf-find, tdf-load, fread-tdf  the last of 1,000 sections of 1 KiB; a 64 KiB fread loop over the file
//   c-set, cxx-set, c-get, cxx-get, c-load, cxx-load
//                                  "Trace Mode" set and got, the settings file loaded, through the C
//                                  interface and through the C++ interface of the same library file
// All but first-manager make their own profile under the temporary directory.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchFiles.h"
#include "BenchSandbox.h"
#include "CApiManagers.h"
#include "K4xDeviceCfgMgr.h"
#include "LoggerLines.h"
#include "TdfFile.h"

namespace {

constexpr int64_t kTextLines = 10000;
constexpr int64_t kTdfSections = 1000;
constexpr uint32_t kTdfSectionBytes = 1024;

// Where results go, so that the compiler keeps the work that made them.
volatile int64_t g_sink;

// The only function whose work the instruction counts take in.
template <typename Work>
__attribute__((noinline)) void CountedLoop(int times, Work work)
{
    for (int i = 0; i < times; ++i) work();
}

// A system call that the trace shows by its path, and nothing else makes.
void MarkTrace(const char* path) { ::access(path, F_OK); }

// The work, times over, between the two marks that the system call counts
// take in.
template <typename Work>
void Counted(int times, Work work)
{
    MarkTrace("/k4x_count/begin");
    CountedLoop(times, work);
    MarkTrace("/k4x_count/end");
}

// Ends the program when the counted work did not do what it should: a
// count of a failing call measures nothing.
void Require(int times, bool done, const char* what)
{
    if (times == 0 || done) return;
    std::fprintf(stderr, "k4x_count: %s failed\n", what);
    std::exit(2);
}

void CreateAndDestroyManager()
{
    Zr::Kdt::Trace::DeviceDescriptor descriptor = k4xbench::MakeDescriptor(k4xbench::kCpuName);
    std::make_unique<K4xDeviceCfgMgr>(&descriptor, 0).reset();
}

void CreateAndDestroyManagers(int times) { Counted(times, CreateAndDestroyManager); }

void OpenAndCloseSettings(int times)
{
    const std::string path = k4xbench::SettingsPath(k4xbench::CpuSettingsName());
    Counted(times, [&] {
        if (std::FILE* file = std::fopen(path.c_str(), "r")) std::fclose(file);
    });
}

void LogLines(int times)
{
    ZR_KDT::uLogger logger(k4xbench::SandboxPath("ulogger.log").c_str(), false);
    for (int i = 0; i < 100; ++i) k4xbench::LogLine(logger);
    Counted(times, [&] { k4xbench::LogLine(logger); });
}

void SpdlogLines(int times)
{
    const auto logger = k4xbench::MakeSpdlog(k4xbench::SandboxPath("spdlog.log"));
    for (int i = 0; i < 100; ++i) k4xbench::LogLine(*logger);
    Counted(times, [&] { k4xbench::LogLine(*logger); });
}

std::string WriteSettingsText()
{
    const std::string name = k4xbench::SettingsTextName(kTextLines);
    k4xbench::WriteFile(k4xbench::SettingsPath(name), k4xbench::SettingsText(kTextLines));
    return name;
}

void LoadText(int times)
{
    const std::string name = WriteSettingsText();
    Zr::Kdt::Trace::DeviceDescriptor descriptor = k4xbench::MakeDescriptor("K4x_Loader");
    K4xDeviceCfgMgr manager(&descriptor, 0);
    Counted(times, [&] { g_sink = manager.LoadConfiguration(name, 1); });
    Require(times, g_sink == 1, "the text load");
}

void ReadTextLines(int times)
{
    const std::string path = k4xbench::SettingsPath(WriteSettingsText());
    Counted(times, [&] { g_sink = k4xbench::ReadLines(path); });
    Require(times, g_sink == kTextLines, "the fgets loop");
}

std::string WriteTdf()
{
    const std::string path = k4xbench::SandboxPath("sections.tdf");
    k4xbench::WriteTdf(path, kTdfSections, kTdfSectionBytes);
    return path;
}

void FindTdfSection(int times)
{
    const std::string path = WriteTdf();
    Counted(times, [&] { g_sink = k4xbench::FindLastSection(path); });
    Require(times, g_sink == kTdfSectionBytes, "the TDF find");
}

void LoadTdfSection(int times)
{
    const std::string path = WriteTdf();
    std::vector<char> buffer(kTdfSectionBytes);
    Counted(times, [&] {
        uint32_t read = 0;
        TdfFile().LoadSection(path.c_str(), k4xbench::kWantedSection, k4xbench::kWantedVersion, buffer.data(),
                              kTdfSectionBytes, read);
        g_sink = read;
    });
    Require(times, g_sink == kTdfSectionBytes, "the TDF load");
}

void ReadTdfWhole(int times)
{
    const std::string path = WriteTdf();
    Counted(times, [&] { g_sink = static_cast<int64_t>(k4xbench::ReadWhole(path)); });
    Require(times, g_sink > kTdfSections * kTdfSectionBytes, "the whole read");
}

// The managers of both interfaces are made before anything is counted, so
// that N = 0 does the same set-up. Each call says whether it succeeded.
template <typename Manager, typename Call>
void CallManager(Manager* manager, int times, Call call, const char* what)
{
    Require(1, manager != nullptr, "loading the library");
    Counted(times, [&] { g_sink = call(manager); });
    Require(times, g_sink == 1, what);
}

void CSet(int times)
{
    CallManager(
        k4xbench::CManager(), times, [](k4x_manager* m) { return k4x_set_int(m, "Trace Mode", 3) == K4X_OK; },
        "k4x_set_int");
}

void CxxSet(int times)
{
    Zr::Kdt::Trace::PropertyValue value;
    value.intValue = 3;
    CallManager(
        k4xbench::CxxManager(), times, [&](auto* m) { return m->SetProperty("Trace Mode", value); }, "SetProperty");
}

void CGet(int times)
{
    CallManager(
        k4xbench::CManager(), times,
        [](k4x_manager* m) {
            int32_t value = 0;
            return k4x_get_int(m, "Trace Mode", &value) == K4X_OK;
        },
        "k4x_get_int");
}

void CxxGet(int times)
{
    CallManager(
        k4xbench::CxxManager(), times,
        [](auto* m) {
            Zr::Kdt::Trace::PropertyValue value;
            return m->GetProperty("Trace Mode", value);
        },
        "GetProperty");
}

void CLoad(int times)
{
    const std::string name = k4xbench::CpuSettingsName();
    CallManager(
        k4xbench::CManager(), times, [&](k4x_manager* m) { return k4x_load(m, name.c_str(), K4X_FILE_TEXT) == K4X_OK; },
        "k4x_load");
}

void CxxLoad(int times)
{
    const std::string name = k4xbench::CpuSettingsName();
    CallManager(
        k4xbench::CxxManager(), times, [&](auto* m) { return m->LoadConfiguration(name, 1); }, "LoadConfiguration");
}

struct Mode {
    const char* name;
    void (*run)(int times);
    // Runs in a profile of its own, made after a first manager.
    bool sandboxed = true;
};

const Mode kModes[] = {
    {"first-manager", CreateAndDestroyManagers, false},
    {"later-manager", CreateAndDestroyManagers},
    {"fopen-fclose", OpenAndCloseSettings},
    {"log-line", LogLines},
    {"spdlog-line", SpdlogLines},
    {"text-load", LoadText},
    {"fgets-loop", ReadTextLines},
    {"tdf-find", FindTdfSection},
    {"tdf-load", LoadTdfSection},
    {"fread-tdf", ReadTdfWhole},
    {"c-set", CSet},
    {"cxx-set", CxxSet},
    {"c-get", CGet},
    {"cxx-get", CxxGet},
    {"c-load", CLoad},
    {"cxx-load", CxxLoad},
};

int Run(const Mode& mode, int times)
{
    // A process that has started a thread locks its streams, as the
    // benchmarks' process and a debugger do.
    std::thread([] {}).join();
    if (!mode.sandboxed) {
        mode.run(times);
        return 0;
    }
    k4xbench::CreateSandbox();
    if (!k4xbench::SaveCpuSettings()) return 2;
    mode.run(times);
    k4xbench::RemoveSandbox();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    for (const Mode& mode : kModes) {
        if (argc == 3 && std::strcmp(argv[1], mode.name) == 0) return Run(mode, std::atoi(argv[2]));
    }
    std::fprintf(stderr, "usage: k4x_count MODE N; modes:");
    for (const Mode& mode : kModes) std::fprintf(stderr, " %s", mode.name);
    std::fprintf(stderr, "\n");
    return 2;
}
