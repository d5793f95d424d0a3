// The trace factory of the simulated live system: makes channel servers
// that report the target it was created with.
#pragma once

#include "SimChannelServer.h"
#include "SimRegistry.h"
#include "SimTarget.h"
#include "TraceFactory.h"

namespace k4xsim {

class SimTraceFactory final : public Zr::Kdt::Trace::TraceFactory {
public:
    explicit SimTraceFactory(SimTarget target) : m_target(std::move(target)) {}

    // Stores a new server into *server, unless the target injects "null"
    // (nothing is stored) or "throw". The flag is not used.
    bool CreateChannelServer(Zr::Kdt::Trace::ChannelServer** server, bool connect) override;

    // False for a server that this factory did not make or already destroyed.
    // Throws, keeping the server, when the target injects "throw".
    bool DestroyChannelServer(Zr::Kdt::Trace::ChannelServer* server, int flags) override;

    const SimTarget& Target() const { return m_target; }

private:
    SimTarget m_target;
    SimRegistry<SimChannelServer> m_servers;
};

}  // namespace k4xsim
