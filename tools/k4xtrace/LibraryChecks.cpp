// doctor's checks of the libraries: the configuration library with the C
// interface beside it, and the live system's libraries as the library's
// own loader finds them.
#include "ChannelDriver.h"
#include "Doctor.h"
#include "HostPlatform.h"
#include "TraceEnvironment.h"
#include "TraceFactory.h"
#include "uDll.h"
#include "uEnvironment.h"

#include <exception>

namespace k4xtrace {

namespace {

namespace trace = Zr::Kdt::Trace;

// The system's code for a library file that it cannot find.
constexpr uint32_t kModuleNotFound = 126;

// A live library as the library looks it up.
struct LiveLibrary {
    const char* role;
    const char* name;
    const char* required;  // without it the library cannot use the file
    const char* optional;  // called when present
    const char* withoutOptional;
    Verdict unusable;  // when it cannot be used
    const char* whenUnusable;
};

const LiveLibrary kLiveLibraries[] = {
    {"trace factory", trace::kTraceFactoryLibrary, trace::kCreateTraceFactoryExport, trace::kDestroyTraceFactoryExport,
     "the library never releases the trace factory", Verdict_Warn,
     "a live connection stands without it, but output files come only from the host's answers"},
    {"channel driver", trace::kChannelDriverLibrary, trace::kConnectChannelServerExport,
     trace::kDisconnectChannelServerExport, "the library never disconnects the channel server", Verdict_Fail,
     "every live connection fails"},
};

Verdict Worse(Verdict left, Verdict right) { return left > right ? left : right; }

std::string Quoted(const char* name) { return std::string("\"") + name + "\""; }

// The folder of the file, absolute and without a trailing separator; "" when
// it cannot be told.
std::string FolderOf(const std::string& file)
{
    const std::string path = k4xplatform::AbsolutePath(file.c_str());
    const std::size_t separator = path.find_last_of(k4xplatform::kPathSeparator);
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// Both name one folder, as the system spells it (the loader names a file by
// the folder it was found in).
bool SameFolder(const std::string& left, const std::string& right)
{
    std::string a = k4xplatform::AbsolutePath(left.c_str()), b = k4xplatform::AbsolutePath(right.c_str());
    for (std::string* path : {&a, &b}) {
        while (path->size() > 1 && path->back() == k4xplatform::kPathSeparator) path->pop_back();
    }
    return !a.empty() && a == b;
}

// The version the library file carries, or "unknown".
std::string VersionOf(k4xplatform::ModuleHandle module)
{
    std::string version;
    return k4xplatform::ModuleVersion(module, version) ? version : "unknown";
}

Finding VersionFinding(const char* check, const std::string& file, const std::string& version)
{
    if (version == K4X_TOOL_VERSION) return {Verdict_Ok, check, file + ", version " + version, ""};
    return {Verdict_Warn, check, file + ", version " + version + ", but k4xtrace is " K4X_TOOL_VERSION,
            "use the parts of one release together"};
}

void CheckCInterface(const std::string& library, Findings& findings)
{
    const std::string folder = FolderOf(library);
    const std::string file = folder + k4xplatform::kPathSeparator + K4X_C_LIBRARY_NAME;
    if (folder.empty() || !k4xplatform::PathExists(file.c_str())) return;
    const k4xplatform::ModuleHandle module = k4xplatform::OpenLibraryFile(file.c_str());
    if (module == nullptr) {
        findings.push_back({Verdict_Warn, "C interface",
                            file + " does not load (error " + std::to_string(k4xplatform::LastErrorCode()) + ")",
                            "replace it with the one of the library's release"});
        return;
    }
    findings.push_back(VersionFinding("C interface", file, VersionOf(module)));
    k4xplatform::CloseLibrary(module);
}

// Where the library looks for a live library that it does not find, and
// how to point it at one.
std::string LiveLibraryAdvice(const std::string& role, const std::string& name)
{
    return "the library looks for " + name + " " + kLiveLibrarySearch + ": put the " + role +
           "'s folder on PATH (k4xtrace --live DIR does it for one run), or the " + role + " beside the host program";
}

// What a failed load says, with the reason the system gave.
Finding LoadFailure(const LiveLibrary& live, const ZR_KDT::uDll& dll, uint32_t code)
{
    const std::string detail = k4xplatform::LastLoadErrorDetail();
    const std::string text = Quoted(live.name) +
                             (code == kModuleNotFound ? " not found" : " found, but it does not load") + " (" +
                             dll.GetLastErrorText() + (detail.empty() ? "" : "; " + detail) + "): " + live.whenUnusable;
    return {live.unusable, live.role, text,
            code == kModuleNotFound ? LiveLibraryAdvice(live.role, live.name)
                                    : "replace it with a 64-bit build of the " + std::string(live.role) +
                                          " that loads here, with the libraries it needs beside it"};
}

// Where the loaded file comes from, as the README's security note sees it.
void CheckOrigin(const std::string& file, Verdict& verdict, std::string& text, std::string& todo)
{
    const std::string folder = FolderOf(file);
    std::string workingDirectory;
    ZR_KDT::GetWorkingDirectory(workingDirectory);
    if (SameFolder(folder, workingDirectory)) {
        verdict = Worse(verdict, Verdict_Warn);
        text += "; it comes from the working directory, where a planted library runs inside the host";
        todo = "start hosts from a trusted folder, and keep the real one beside the host program";
    } else if (k4xplatform::WhoMayWrite(folder.c_str()) == k4xplatform::FolderWriters_Others) {
        verdict = Worse(verdict, Verdict_Warn);
        text += "; other users can write its folder";
        todo = "keep it in a folder that only you and the administrators can write";
    }
}

Finding CheckLiveLibrary(const LiveLibrary& live)
{
    ZR_KDT::uDll dll(nullptr, ZR_KDT::uDll::kKeepMode);
    bool loaded = false;
    try {
        loaded = dll.FindAndLoad(live.name, ZR_KDT::uDll::kKeepMode);
    } catch (const std::exception& error) {
        return {live.unusable, live.role, Quoted(live.name) + ": " + error.what(),
                "start the host in a folder it can read"};
    }
    // Read at once, as the loader leaves it.
    const uint32_t code = k4xplatform::LastErrorCode();
    if (!loaded) return LoadFailure(live, dll, code);
    const std::string file = k4xplatform::LibraryFile(dll.GetModule());
    Verdict verdict = Verdict_Ok;
    std::string text = file.empty() ? Quoted(live.name) + " (its file cannot be told)" : file;
    std::string todo;
    if (dll.GetSymbol(live.required) == nullptr) {
        verdict = live.unusable;
        text += ": no " + std::string(live.required) + ", so it is no " + live.role + ": " + live.whenUnusable;
        todo = "put the real " + std::string(live.role) +
               " where the search finds it first: beside the host "
               "program, or in a folder earlier on PATH";
    } else if (dll.GetSymbol(live.optional) == nullptr) {
        verdict = Verdict_Warn;
        text += ": no " + std::string(live.optional) + ", so " + live.withoutOptional;
        todo = "use a " + std::string(live.role) + " of a release that has it";
    } else {
        text += std::string(", with ") + live.required + " and " + live.optional;
    }
    if (!file.empty()) CheckOrigin(file, verdict, text, todo);
    return {verdict, live.role, text, todo};
}

}  // namespace

void CheckConfigurationLibrary(Session& session, Findings& findings)
{
    std::string error;
    if (!session.Load(error)) {
        findings.push_back({Verdict_Fail, "configuration library", error,
                            "install k4xtrace together with its library, or name the library with --library PATH"});
        return;
    }
    findings.push_back(VersionFinding("configuration library", session.LibraryPath(), session.LibraryVersion()));
    CheckCInterface(session.LibraryPath(), findings);
}

void CheckLiveLibraries(Findings& findings)
{
    for (const LiveLibrary& live : kLiveLibraries) findings.push_back(CheckLiveLibrary(live));
}

}  // namespace k4xtrace
