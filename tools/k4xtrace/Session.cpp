#include "Session.h"

#include "TraceEnvironment.h"

#include <cstdio>

namespace k4xtrace {

bool Session::Open()
{
    m_libraryPath = m_invocation.global.library.empty() ? DefaultLibraryPath() : m_invocation.global.library;
    std::string error;
    if (m_library.Open(m_libraryPath, error)) return true;
    std::fprintf(stderr, "k4xtrace: %s\n", error.c_str());
    return false;
}

std::unique_ptr<Device> Session::NewDevice(const std::string& cpu)
{
    std::string error;
    std::unique_ptr<Device> device = m_library.CreateDevice(cpu, error);
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

int Session::Fail(const std::string& what, const std::string& reason) const
{
    std::fprintf(stderr, "k4xtrace: %s: %s\n", what.c_str(), reason.c_str());
    return kExitFailed;
}

void Session::ReportLog() const
{
    if (!m_logFile.empty()) std::fprintf(stderr, "k4xtrace: trace log: %s\n", m_logFile.c_str());
}

}  // namespace k4xtrace
