// live: the connection to the live target and the output files it knows.
#include "Commands.h"
#include "HostPlatform.h"
#include "K4xFileNames.h"
#include "PromptCallback.h"
#include "PropertyText.h"
#include "Session.h"
#include "TraceEnvironment.h"

#include <cstdio>
#include <memory>

namespace k4xtrace {

namespace {

// The library's text when no channel driver loads.
const char kNoDriverLoaded[] = "Cannot load channel driver.";

// The simulated target's folder in the package that this program belongs
// to, or "".
std::string PackagedSimulatedTarget()
{
    const std::string folder = k4xhost::ThisModuleFolder();
    if (folder.empty()) return std::string();
    const std::string path = k4xplatform::AbsolutePath((folder + K4X_INSTALLED_SIM_FOLDER).c_str());
    return k4xplatform::PathExists(path.c_str()) ? path : std::string();
}

// Where the library looked, and how to point it at a channel driver; for a
// user who gave no --live.
void PrintDriverHint()
{
    const std::string simulated = PackagedSimulatedTarget();
    std::fprintf(stderr,
                 "k4xtrace: the library looked for the channel driver NAVRO %s (k4xtrace doctor tells which file "
                 "each load takes).\n"
                 "k4xtrace: --live DIR puts a channel driver's folder in front of PATH, such as %s\n",
                 kLiveLibrarySearch,
                 simulated.empty() ? "the simulated-target folder of a k4xtrace package"
                                   : ("the package's simulated target: --live \"" + simulated + "\"").c_str());
}

struct OutFile {
    std::string cpu;
    bool found = false;
    std::string path;
};

void PrintTable(const std::string& cpu, const PropertyValue& twp, const std::vector<OutFile>& files,
                const PromptCallback& callback)
{
    std::printf("Connected to %s through the channel driver.\n", cpu.c_str());
    std::printf("Live TWP source (TWP_Protocol): %s\n", PlainValue(twp).c_str());
    std::printf("  %-16s %s\n", "CPU", "OUTPUT FILE");
    for (const OutFile& file : files) {
        const char* origin = !file.found ? "" : callback.Answered(file.cpu) ? "   (answered by the host)" : "";
        std::printf("  %-16s %s%s\n", file.cpu.c_str(), file.found ? file.path.c_str() : "(none)", origin);
    }
}

void PrintJson(const std::string& cpu, const PropertyValue& twp, const std::vector<OutFile>& files)
{
    std::printf("{\"cpu\": %s, \"twpSource\": %s, \"outFiles\": {", JsonString(cpu).c_str(), PlainValue(twp).c_str());
    for (size_t i = 0; i < files.size(); ++i) {
        std::printf("%s%s: %s", i == 0 ? "" : ", ", JsonString(files[i].cpu).c_str(),
                    files[i].found ? JsonString(files[i].path).c_str() : "null");
    }
    std::printf("}}\n");
}

}  // namespace

int LiveCommand(Session& session, const Invocation& invocation)
{
    // Declared before the manager, so that it outlives the manager's pointer to it.
    PromptCallback callback(invocation.Values("--answer"), stdin, k4xplatform::IsTerminal(stdin));
    const std::string& cpu = invocation.arguments[0];
    std::unique_ptr<Device> device = session.NewDevice(cpu);
    if (!device) return kExitFailed;
    device->Manager().SetHostCallback(&callback);
    std::string error;
    // Without a settings file the connection stands but the load after it
    // fails, and the library keeps its earlier text.
    const std::string unloaded = "connected, but the settings file " + k4xformat::SettingsFileName(cpu) +
                                 " did not load: it is missing or malformed (k4xtrace set writes it)";
    if (!Explained(device->ConnectLive(error), unloaded, error)) {
        session.Fail("live " + cpu, error);
        if (error == kNoDriverLoaded && invocation.global.live.empty()) PrintDriverHint();
        return kExitFailed;
    }
    PropertyValue twp;
    if (!device->Get("TWP_Protocol", twp, error)) return session.Fail("TWP_Protocol", error);

    std::vector<OutFile> files;
    for (const std::string& name : invocation.arguments) {
        files.push_back({name, false, std::string()});
        files.back().found = device->Manager().GetOutFile(name, files.back().path);
    }
    if (invocation.Has("--json")) {
        PrintJson(cpu, twp, files);
    } else {
        PrintTable(cpu, twp, files, callback);
    }
    int status = kExitSuccess;
    for (const OutFile& file : files) {
        if (file.found) continue;
        const char* why = callback.Answered(file.cpu) ? "the host's answer names no file"
                          : callback.Asked(file.cpu)  ? "the host gave no answer"
                                                      : "the host was not asked";
        status = session.Fail(file.cpu, std::string("no output file known (") + why + ")");
    }
    return status;
}

}  // namespace k4xtrace
