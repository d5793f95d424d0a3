#include "Session.h"

#include "TraceEnvironment.h"
#include "uLogger.h"

#include <cstdio>

namespace k4xtrace {

bool Explained(bool done, const std::string& reason, std::string& error)
{
    if (!done && error.empty()) error = !reason.empty() ? reason : "the library gave no reason";
    return done;
}

// Unless told, the library beside this program, or else the one in the
// library folder of an installation beside the program's folder.
bool Session::Load(std::string& error)
{
    const std::string& path = m_invocation.global.library;
    return path.empty() ? m_library.OpenBeside(K4X_INSTALLED_LIBRARY_FOLDER, error) : m_library.Open(path, error);
}

bool Session::Open()
{
    std::string error;
    if (Load(error)) return true;
    std::fprintf(stderr, "k4xtrace: %s\n", error.c_str());
    return false;
}

std::unique_ptr<Device> Session::NewDevice(const std::string& cpu)
{
    std::string error;
    std::unique_ptr<Device> device = m_library.CreateDevice(cpu, 0, 0, error);
    if (!device) {
        Fail(cpu, error);
        return nullptr;
    }
    if (!device->ConstructionError().empty()) {
        std::fprintf(stderr, "k4xtrace: warning: the settings file of %s did not load completely: %s\n", cpu.c_str(),
                     device->ConstructionError().c_str());
    }
    if (m_logFile.empty() && LoggingOn()) m_logFile = LogFilePath();
    return device;
}

std::string Session::LibraryVersion() const
{
    const std::string version = m_library.Version();
    return version.empty() ? "unknown" : version;
}

int Session::Fail(const std::string& what, const std::string& reason) const
{
    std::fprintf(stderr, "k4xtrace: %s: %s\n", what.c_str(), reason.c_str());
    // The library logs few of its failures: the host's account of them
    // goes into the same log, as a failure line.
    if (!m_logFile.empty()) {
        ZR_KDT::uLogger log(m_logFile.c_str(), true);
        log.Log(ZR_KDT::LogCategory_Error, ZR_KDT::LogStamp_Time, "k4xtrace: %s: %s", what.c_str(), reason.c_str());
    }
    return kExitFailed;
}

void Session::ReportLog() const
{
    if (!m_logFile.empty()) std::fprintf(stderr, "k4xtrace: trace log: %s\n", m_logFile.c_str());
}

}  // namespace k4xtrace
