#include "SimChannelServer.h"

namespace k4xsim {

bool SimChannelServer::GetCpuOutFile(const std::string& cpuName, std::string& outFile)
{
    CountCall(SimCall_GetCpuOutFile);
    for (std::size_t i = 0; i < m_target.cpus.size(); ++i) {
        if (m_target.cpus[i].name != cpuName) continue;
        ThrowIfInjected(m_target.faults, SimCall_GetCpuOutFile, i);
        outFile = m_target.cpus[i].outFile;
        return true;
    }
    return false;
}

bool SimChannelServer::OpenDriverInstance(const std::string& cpuName, Zr::Kdt::Trace::ChannelDriverInstance** instance)
{
    CountCall(SimCall_OpenDriverInstance);
    if (instance == nullptr) return false;
    *instance = nullptr;
    // An instance drives one CPU, which a driver knows by its name.
    if (cpuName.empty()) return false;
    ThrowIfInjected(m_target.faults, SimCall_OpenDriverInstance);
    if (NullInjected(m_target.faults, SimCall_OpenDriverInstance)) return false;
    std::unique_ptr<SimDriverInstance>& held = m_instances[cpuName];
    if (!held) held = std::make_unique<SimDriverInstance>(m_target);
    *instance = held.get();
    return true;
}

bool SimChannelServer::GetLiveCpus(std::vector<std::string>& cpus)
{
    CountCall(SimCall_GetLiveCpus);
    cpus.clear();
    for (const SimCpu& cpu : m_target.cpus) {
        ThrowIfInjected(m_target.faults, SimCall_GetLiveCpus, cpus.size());
        cpus.push_back(cpu.name);
    }
    ThrowIfInjected(m_target.faults, SimCall_GetLiveCpus, cpus.size());
    return true;
}

}  // namespace k4xsim
