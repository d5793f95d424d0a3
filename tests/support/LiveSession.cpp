#include "LiveSession.h"

#include "Bytes.h"
#include "LoadedLibrary.h"

#include <filesystem>

namespace k4xtest {

LiveSession::LiveSession(const char* simFolder, const char* logging)
{
    SetVariable("ZR_TRACE_LOGGING", logging);
    SetVariable("ZR_TRACE_DEBUGCLIENT_PID", nullptr);
    SetVariable("K4X_SIM_TARGET", nullptr);
    SetVariable("PATH", (simFolder != nullptr ? SimFolder(simFolder) : NewFolder("empty-path")).c_str());
}

void LiveSession::WriteSettings(const std::string& fileName, const std::string& text) const
{
    std::filesystem::create_directories(SettingsDirectory());
    WriteBytes((std::filesystem::path(SettingsDirectory()) / fileName).string(), text);
}

std::string LiveSession::WriteFile(const std::string& name, const std::string& text) const
{
    WriteBytes(Path(name), text);
    return Path(name);
}

}  // namespace k4xtest
