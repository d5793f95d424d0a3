#include "TraceEnvironment.h"

#include "HostPlatform.h"
#include "Platform.h"
#include "TraceVariables.h"

namespace k4xtrace {

namespace {

// The directory as an absolute path in the platform's form; "" if it is none.
std::string Directory(const std::string& path)
{
    k4xplatform::FileStatus status;
    if (!k4xplatform::SystemCalls().status(path.c_str(), status) || status.kind != k4xplatform::FileKind_Directory)
        return std::string();
    return k4xplatform::AbsolutePath(path.c_str());
}

bool SetDirectory(const char* option, const std::string& path, std::string& directory, std::string& error)
{
    directory = Directory(path);
    if (directory.empty()) error = std::string(option) + " " + path + ": no such directory";
    // Trailing separators would double in the paths the library builds.
    while (directory.size() > 1 && directory.back() == k4xplatform::kPathSeparator && directory.end()[-2] != ':') {
        directory.pop_back();
    }
    return !directory.empty();
}

}  // namespace

bool ApplyEnvironment(const GlobalOptions& options, bool needsProfile, std::string& error)
{
    std::string directory;
    if (!options.profile.empty()) {
        if (!SetDirectory("--profile", options.profile, directory, error)) return false;
        k4xplatform::SetEnvironment("USERPROFILE", directory.c_str());
    }
    if (needsProfile && k4xplatform::ProfileDirectory().empty()) {
        error = "no profile directory: USERPROFILE is not set, empty, or holds a name that the system's code page "
                "cannot write (--profile DIR names one)";
        return false;
    }
    if (!options.logLevel.empty()) k4xplatform::SetEnvironment(ZR_KDT::kLoggingVariable, options.logLevel.c_str());
    if (!options.live.empty()) {
        if (!SetDirectory("--live", options.live, directory, error)) return false;
        const std::string path = Environment("PATH");
        const std::string searched = path.empty() ? directory : directory + k4xplatform::kPathListSeparator + path;
        k4xplatform::SetEnvironment("PATH", searched.c_str());
    }
    return true;
}

bool LoggingOn() { return ZR_KDT::LogLevelWritesLog(ZR_KDT::LogLevelOf(Environment(ZR_KDT::kLoggingVariable))); }

std::string LogFilePath() { return LogFileIn(Environment(ZR_KDT::kLoggingDirectoryVariable)); }

std::string LogFileIn(const std::string& folder)
{
    const k4xplatform::LocalTime now = k4xplatform::SystemCalls().localTime();
    const std::string client = Environment(ZR_KDT::kDebugClientVariable);
    return ZR_KDT::LogFilePath(
        folder, ZR_KDT::LogFileName(now.month, now.day, now.year, client.empty() ? "<process id>" : client));
}

std::string Environment(const char* name)
{
    std::string value;
    k4xplatform::GetEnvironment(name, value);
    return value;
}

}  // namespace k4xtrace
