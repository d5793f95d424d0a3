#include "TraceEnvironment.h"

#include "HostPlatform.h"
#include "Platform.h"
#include "TraceVariables.h"

namespace k4xtrace {

namespace {

namespace platform = ZR_KDT::platform;

// The directory as an absolute path in the platform's form; "" if it is none.
std::string Directory(const std::string& path)
{
    platform::FileStatus status;
    if (!platform::SystemCalls().status(path.c_str(), status) || status.kind != platform::FileKind_Directory)
        return std::string();
    return platform::AbsolutePath(path.c_str());
}

bool SetDirectory(const char* option, const std::string& path, std::string& directory, std::string& error)
{
    directory = Directory(path);
    if (directory.empty()) error = std::string(option) + " " + path + ": no such directory";
    // Trailing separators would double in the paths the library builds.
    while (directory.size() > 1 && directory.back() == platform::kPathSeparator && directory.end()[-2] != ':') {
        directory.pop_back();
    }
    return !directory.empty();
}

}  // namespace

bool ApplyEnvironment(const GlobalOptions& options, std::string& error)
{
    std::string directory;
    if (!options.profile.empty()) {
        if (!SetDirectory("--profile", options.profile, directory, error)) return false;
        platform::SetEnvironment("USERPROFILE", directory.c_str());
    }
    if (platform::ProfileDirectory().empty()) {
        error = "no profile directory: USERPROFILE is not set, empty, or holds a name that the system's code page "
                "cannot write (--profile DIR names one)";
        return false;
    }
    if (!options.logLevel.empty()) platform::SetEnvironment(ZR_KDT::kLoggingVariable, options.logLevel.c_str());
    if (!options.live.empty()) {
        if (!SetDirectory("--live", options.live, directory, error)) return false;
        const std::string path = Environment("PATH");
        const std::string searched = path.empty() ? directory : directory + platform::kPathListSeparator + path;
        platform::SetEnvironment("PATH", searched.c_str());
    }
    return true;
}

bool LoggingOn() { return ZR_KDT::LogLevelWritesLog(ZR_KDT::LogLevelOf(Environment(ZR_KDT::kLoggingVariable))); }

std::string LogFilePath()
{
    const platform::LocalTime now = platform::SystemCalls().localTime();
    return ZR_KDT::LogFilePath(Environment(ZR_KDT::kLoggingDirectoryVariable),
                               ZR_KDT::LogFileName(now.month, now.day, now.year,
                                                   Environment(ZR_KDT::kDebugClientVariable)));
}

std::string Environment(const char* name)
{
    std::string value;
    platform::GetEnvironment(name, value);
    return value;
}

}  // namespace k4xtrace
