// info: where the library and its files are, as a manager sees them.
#include "Commands.h"
#include "Platform.h"
#include "Session.h"
#include "Store.h"
#include "TraceEnvironment.h"
#include "TraceVariables.h"

#include <cstdio>
#include <memory>

namespace k4xtrace {

namespace {

void Line(const char* label, const std::string& value)
{
    std::printf("%-20s %s\n", label, value.empty() ? "(not set)" : value.c_str());
}

}  // namespace

int InfoCommand(Session& session, const Invocation& invocation)
{
    std::unique_ptr<Device> device = session.NewDevice(invocation.arguments[0]);
    if (!device) return kExitFailed;
    uint32_t first = 0;
    uint32_t second = 0;
    std::string name;
    device->Manager().GetDeviceInfo(first, second, name);
    Store settings;
    Store::Parse("settings", settings);
    const std::string settingsFile = settings.LoadPath(*device);
    const bool present = k4xplatform::PathExists(settingsFile.c_str());

    Line("library:", session.LibraryPath());
    Line("library version:", session.LibraryVersion());
    Line("device:", name + " (numbers " + std::to_string(first) + " and " + std::to_string(second) + ")");
    Line("profile:", k4xplatform::ProfileDirectory());
    Line("trace directory:", Environment(ZR_KDT::kLoggingDirectoryVariable));
    Line("settings directory:", Environment(ZR_KDT::kSettingsDirectoryVariable));
    Line("data directory:", Environment(ZR_KDT::kDataDirectoryVariable));
    Line("settings file:", settingsFile + (present ? "" : " (not present: defaults)"));
    Line("debug client:", Environment(ZR_KDT::kDebugClientVariable));
    Line("logging:", LoggingOn() ? "level " + Environment(ZR_KDT::kLoggingVariable) + ", " + LogFilePath() : "off");
    return kExitSuccess;
}

int VersionCommand(Session& session, const Invocation&)
{
    std::printf("k4xtrace %s\n", K4X_TOOL_VERSION);
    if (!session.Open()) return kExitFailed;
    std::printf("library %s (%s)\n", session.LibraryVersion().c_str(), session.LibraryPath().c_str());
    return kExitSuccess;
}

}  // namespace k4xtrace
