// The channel server of both stand-ins: the trace factory's reports the
// live system's CPUs and output files, the channel driver's opens driver
// instances. Each keeps the target it was made with.
#pragma once

#include "ChannelServer.h"
#include "SimDriverInstance.h"
#include "SimTarget.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace k4xsim {

class SimChannelServer final : public Zr::Kdt::Trace::ChannelServer {
public:
    explicit SimChannelServer(SimTarget target) : m_target(std::move(target)) {}

    // The output file of a CPU of the target; false and `outFile` unchanged
    // for a CPU it does not have. Throws for the CPUs that a "throw after"
    // fault does not serve.
    bool GetCpuOutFile(const std::string& cpuName, std::string& outFile) override;

    // One instance per CPU name, kept until the server goes; every name is
    // reachable unless the target injects "null".
    bool OpenDriverInstance(const std::string& cpuName, Zr::Kdt::Trace::ChannelDriverInstance** instance) override;

    // Replaces `cpus` with the target's CPU names, in order. Under a
    // "throw after N" fault, throws with the first N names in `cpus`; under
    // "throw other once", its first call throws std::runtime_error.
    bool GetLiveCpus(std::vector<std::string>& cpus) override;

    const SimTarget& Target() const { return m_target; }

private:
    SimTarget m_target;
    std::map<std::string, std::unique_ptr<SimDriverInstance>> m_instances;
};

}  // namespace k4xsim
