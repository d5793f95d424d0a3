// The channel server: an object of an outside library (the trace factory's
// server, or the channel driver's). Only the positions that the manager
// calls are fixed; the others are placeholders that keep them in place.
// Servers are released through their own library, never deleted here.
#pragma once

#include <string>
#include <vector>

namespace Zr {
namespace Kdt {
namespace Trace {

class ChannelDriverInstance;

class ChannelServer {
public:
    virtual void Reserved01() {}
    virtual void Reserved02() {}
    virtual void Reserved03() {}
    virtual void Reserved04() {}
    virtual void Reserved05() {}
    virtual void Reserved06() {}
    virtual void Reserved07() {}
    virtual void Reserved08() {}
    virtual void Reserved09() {}
    virtual void Reserved10() {}
    virtual void Reserved11() {}
    virtual void Reserved12() {}
    // Position 13: the output file loaded on a CPU of the live system. May
    // throw cVexaError. A server that does not serve it answers false.
    virtual bool GetCpuOutFile(const std::string& /*cpuName*/, std::string& /*outFile*/) { return false; }
    virtual void Reserved14() {}
    virtual void Reserved15() {}
    virtual void Reserved16() {}
    virtual void Reserved17() {}
    virtual void Reserved18() {}
    // Position 19: the driver instance of a CPU; *instance stays null on failure.
    virtual bool OpenDriverInstance(const std::string& /*cpuName*/, ChannelDriverInstance** /*instance*/)
    {
        return false;
    }
    virtual void Reserved20() {}
    // Position 21: the names of the live system's CPUs. May throw cVexaError.
    virtual bool GetLiveCpus(std::vector<std::string>& /*cpus*/) { return false; }

protected:
    ~ChannelServer() = default;
};

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
