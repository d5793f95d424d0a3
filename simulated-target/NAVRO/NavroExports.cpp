// The exports of the simulated channel-driver library. Test variants leave
// out an export (K4X_SIM_WITHOUT_CONNECT, K4X_SIM_WITHOUT_DISCONNECT).
#include "ChannelDriver.h"
#include "SimChannelServer.h"
#include "SimRegistry.h"
#include "SimSupport.h"
#include "SimTargetSource.h"

#include <type_traits>

namespace {

k4xsim::SimRegistry<k4xsim::SimChannelServer>& Servers()
{
    static k4xsim::SimRegistry<k4xsim::SimChannelServer> servers;
    return servers;
}

}  // namespace

extern "C" {

#if !defined(K4X_SIM_WITHOUT_CONNECT)
// Each call reads the target description and connects a server of its own.
K4X_SIM_EXPORT Zr::Kdt::Trace::ChannelServer* ConnectChannelServer()
{
    return Servers().Create(k4xsim::SimCall_ConnectChannelServer, k4xsim::LoadTarget());
}
static_assert(std::is_same<decltype(&ConnectChannelServer), ConnectChannelServerFn>::value, "ConnectChannelServerFn");
#endif

#if !defined(K4X_SIM_WITHOUT_DISCONNECT)
// False for a server that this library did not connect or already
// disconnected.
K4X_SIM_EXPORT bool DisconnectChannelServer(Zr::Kdt::Trace::ChannelServer* server)
{
    return Servers().Release(k4xsim::SimCall_DisconnectChannelServer, server);
}
static_assert(std::is_same<decltype(&DisconnectChannelServer), DisconnectChannelServerFn>::value,
              "DisconnectChannelServerFn");
#endif
}
