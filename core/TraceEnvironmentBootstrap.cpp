// The process-wide trace environment: the debug client, the trace
// directories published in the environment, and the name of the log.
#include "CDeviceConfigManagerCommon.h"
#include "Platform.h"
#include "TraceVariables.h"
#include "uEnvironment.h"
#include "uLogManager.h"
#include "uString.h"
#include "uTime.h"

namespace Zr {
namespace Kdt {
namespace Trace {

namespace {

// Process-wide, shared by every manager; set up by the first construction.
// No lock guards them: managers are made one at a time (making two at once
// from two threads is outside the calling contract), and the logger guards
// its own state.
bool g_bootstrapDone = false;
std::string g_debugClientId;
std::string g_loggingDirectory;
std::string g_dataDirectory;
std::string g_settingsDirectory;
std::string g_logFileName;

}  // namespace

void CDeviceConfigManagerCommon::JoinTraceEnvironment() noexcept
{
    // The trace environment is a convenience: a manager works without it,
    // so nothing here may fail the construction.
    try {
        if (!g_bootstrapDone) BootstrapTraceEnvironment();
        ZR_KDT::uLogManager::Instance().Initialize(g_logFileName.c_str(), ZR_KDT::kLoggingVariable,
                                                   ZR_KDT::kLoggingDirectoryVariable, true);
    } catch (...) {
    }
}

void CDeviceConfigManagerCommon::BootstrapTraceEnvironment()
{
    g_debugClientId = ZR_KDT::GetEnvironmentValue(ZR_KDT::kDebugClientVariable);
    // A debug client that is still running keeps its id for all of its
    // children; anything else makes this process the debug client.
    if (!g_debugClientId.empty() &&
        FindProcessById(ZR_KDT::uString::ToNumeric(g_debugClientId.c_str())) == 0) {
        g_debugClientId.clear();
    }
    if (g_debugClientId.empty()) {
        ZR_KDT::uString::ToString(g_debugClientId, k4xplatform::CurrentProcessId());
        ZR_KDT::SetEnvironmentValue(ZR_KDT::kDebugClientVariable, g_debugClientId.c_str());
    }

    ZR_KDT::GetTraceLoggingDirectory(g_loggingDirectory);
    ZR_KDT::GetTraceDataDirectory(g_dataDirectory);
    ZR_KDT::GetTraceSettingsDirectory(g_settingsDirectory);
    ZR_KDT::CreateDirectoryPath(g_loggingDirectory.c_str());
    ZR_KDT::CreateDirectoryPath(g_dataDirectory.c_str());
    ZR_KDT::CreateDirectoryPath(g_settingsDirectory.c_str());
    ZR_KDT::SetEnvironmentValue(ZR_KDT::kLoggingDirectoryVariable, g_loggingDirectory.c_str());
    ZR_KDT::SetEnvironmentValue(ZR_KDT::kDataDirectoryVariable, g_dataDirectory.c_str());
    ZR_KDT::SetEnvironmentValue(ZR_KDT::kSettingsDirectoryVariable, g_settingsDirectory.c_str());

    // Each part of the date is a clock reading of its own, month first, as
    // the system has always named its log: a name made across midnight may
    // mix two dates.
    const int month = ZR_KDT::uTime().GetMonth();
    const int day = ZR_KDT::uTime().GetDay();
    const int year = ZR_KDT::uTime().GetYear();
    g_logFileName = ZR_KDT::LogFileName(month, day, year, g_debugClientId);
    g_bootstrapDone = true;
}

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
