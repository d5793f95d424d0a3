#include "SimTraceFactory.h"

namespace k4xsim {

bool SimTraceFactory::CreateChannelServer(Zr::Kdt::Trace::ChannelServer** server, bool /*connect*/)
{
    CountCall(SimCall_CreateChannelServer);
    ThrowIfInjected(m_target.faults, SimCall_CreateChannelServer);
    if (server == nullptr || NullInjected(m_target.faults, SimCall_CreateChannelServer)) return false;
    *server = m_servers.Add(std::make_unique<SimChannelServer>(m_target));
    return true;
}

bool SimTraceFactory::DestroyChannelServer(Zr::Kdt::Trace::ChannelServer* server, int /*flags*/)
{
    CountCall(SimCall_DestroyChannelServer);
    ThrowIfInjected(m_target.faults, SimCall_DestroyChannelServer);
    return m_servers.Remove(server);
}

}  // namespace k4xsim
