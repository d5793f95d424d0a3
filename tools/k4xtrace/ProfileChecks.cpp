// doctor's checks of the profile, the trace folders and the log.
#include "Doctor.h"
#include "HostPlatform.h"
#include "Platform.h"
#include "TraceEnvironment.h"
#include "TraceVariables.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <cstdio>

namespace k4xtrace {

namespace {

constexpr char kProfileVariable[] = "USERPROFILE";

// Why there is no profile: "USERPROFILE is empty", or, where HOME stands
// in, "neither USERPROFILE nor HOME is set".
std::string MissingProfile()
{
    std::string value;
    if (k4xplatform::GetEnvironment(kProfileVariable, value)) {
        return std::string(kProfileVariable) +
               (value.empty() ? " is empty" : " holds a name that the system's code page cannot write");
    }
    const char* fallback = k4xplatform::kProfileFallbackVariable;
    if (fallback == nullptr) return std::string(kProfileVariable) + " is not set";
    return std::string("neither ") + kProfileVariable + " nor " + fallback + " is set";
}

// The variable the profile came from.
std::string ProfileSource()
{
    std::string value;
    if (k4xplatform::GetEnvironment(kProfileVariable, value) || k4xplatform::kProfileFallbackVariable == nullptr)
        return kProfileVariable;
    return std::string(k4xplatform::kProfileFallbackVariable) + ", as " + kProfileVariable + " is not set";
}

// "12.3 GB" and the like, for a person.
std::string Size(uint64_t bytes)
{
    const char* units[] = {"bytes", "KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    for (; value >= 1000 && unit + 1 < sizeof units / sizeof *units; ++unit) value /= 1000;
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

// Whether a new file can be made in the folder: one is made and removed.
bool CanMakeFiles(const std::string& folder)
{
    const std::string probe = folder + k4xplatform::kPathSeparator + "k4xtrace-doctor-" +
                              std::to_string(k4xplatform::CurrentProcessId()) + ".tmp";
    const k4xplatform::File file = k4xplatform::SystemCalls().open(probe.c_str(), "wxp");
    if (!k4xplatform::IsOpen(file)) return false;
    k4xplatform::SystemCalls().close(file);
    k4xplatform::SystemCalls().remove(probe.c_str());
    return true;
}

// The folder itself, or else the nearest folder above it that exists, in
// which the library would make the missing levels; "" for none.
std::string WhereMade(const std::string& folder)
{
    std::string path = k4xplatform::AbsolutePath(folder.c_str());
    k4xplatform::FileStatus status{};
    while (!path.empty() && !k4xplatform::SystemCalls().status(path.c_str(), status)) {
        const std::size_t separator = path.find_last_of(k4xplatform::kPathSeparator);
        if (separator == std::string::npos || separator + 1 == path.size()) return std::string();
        // A root ("/", "C:\") keeps its separator.
        path.erase(separator == 0 || path[separator - 1] == ':' ? separator + 1 : separator);
    }
    return status.kind == k4xplatform::FileKind_Directory ? path : std::string();
}

Finding CheckFolder(const char* check, const std::string& folder)
{
    k4xplatform::FileStatus status{};
    const bool exists = k4xplatform::SystemCalls().status(folder.c_str(), status);
    if (exists && status.kind != k4xplatform::FileKind_Directory)
        return {Verdict_Fail, check, folder + " is a file, not a folder", "move it out of the way"};
    const std::string made = WhereMade(folder);
    if (made.empty() || !CanMakeFiles(made)) {
        const std::string where = made.empty() ? folder : made;
        return {Verdict_Fail, check,
                exists ? folder + " cannot be written" : folder + " is missing and cannot be made in " + where,
                "give your user the right to write " + where};
    }
    const std::string text = folder + (exists ? "" : " (missing: the library makes it)") + ", writable";
    uint64_t free = 0;
    if (!k4xplatform::SystemCalls().freeDiskSpace(made.c_str(), free))
        return {Verdict_Warn, check, text + ", free space unknown", "the library writes no log where it cannot tell"};
    if (free < ZR_KDT::uLogManager::kMinimumFreeBytes) {
        return {Verdict_Warn, check, text + ", only " + Size(free) + " free",
                "free space on its volume: with less than " + Size(ZR_KDT::uLogManager::kMinimumFreeBytes) +
                    " the library writes no log"};
    }
    return {Verdict_Ok, check, text + ", " + Size(free) + " free", ""};
}

}  // namespace

void CheckProfile(TraceFolders& folders, Findings& findings)
{
    const std::string profile = k4xplatform::ProfileDirectory();
    if (profile.empty()) {
        findings.push_back(
            {Verdict_Fail, "profile",
             MissingProfile() + ": the library makes no trace folder, writes no log, and looks for "
                                "settings files in the root folder",
             std::string("set ") + kProfileVariable + " to your profile folder, or give k4xtrace --profile DIR"});
        return;
    }
    const std::string named = profile + " (" + ProfileSource() + ")";
    if (k4xplatform::PathExists(profile.c_str())) {
        findings.push_back({Verdict_Ok, "profile", named, ""});
    } else {
        findings.push_back({Verdict_Warn, "profile", named + " does not exist: the library makes it on first use",
                            "check the variable's value"});
    }
    ZR_KDT::GetTraceDirectory(folders.trace);
    folders.settings = folders.data = folders.trace;
    ZR_KDT::AppendPathComponent(folders.settings, ZR_KDT::kTraceSettingsFolder);
    ZR_KDT::AppendPathComponent(folders.data, ZR_KDT::kTraceDataFolder);
    findings.push_back(CheckFolder("trace folder", folders.trace));
    findings.push_back(CheckFolder("settings folder", folders.settings));
    findings.push_back(CheckFolder("data folder", folders.data));
}

void CheckLogging(const TraceFolders& folders, Findings& findings)
{
    const std::string value = Environment(ZR_KDT::kLoggingVariable);
    const int32_t level = ZR_KDT::LogLevelOf(value);
    const std::string setting = std::string(ZR_KDT::kLoggingVariable) + (value.empty() ? " is not set" : "=" + value);
    const std::string switchOn =
        std::string(ZR_KDT::kLoggingVariable) + "=1 (or k4xtrace --log-level 1) logs a run; k4xtrace log reads the log";
    if (!ZR_KDT::LogLevelWritesLog(level)) {
        if (value.empty() || level == 0) {
            findings.push_back({Verdict_Ok, "logging", "off (" + setting + ")", switchOn});
        } else {
            findings.push_back({Verdict_Warn, "logging", "off: " + setting + " is no level from 1 to 6",
                                "set it to 1 to 6 for a log, or to 0"});
        }
        return;
    }
    if (folders.trace.empty()) {
        findings.push_back({Verdict_Warn, "logging", "level " + value + ", but no log: there is no trace folder",
                            "set the profile (above)"});
        return;
    }
    const ZR_KDT::LogDestinations destinations = ZR_KDT::LogDestinationsOf(level);
    findings.push_back({Verdict_Ok, "logging",
                        "level " + std::to_string(level) + " (" + setting + "): " + LogFileIn(folders.trace) +
                            (destinations.console ? ", and standard output" : "") +
                            (destinations.debugger ? " and the debugger" : ""),
                        ""});
}

}  // namespace k4xtrace
