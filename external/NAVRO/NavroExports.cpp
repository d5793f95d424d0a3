// The exports of the simulated channel-driver library. Test variants leave
// out an export (K4X_SIM_WITHOUT_CONNECT, K4X_SIM_WITHOUT_DISCONNECT).
#include "ChannelDriver.h"
#include "SimChannelServer.h"
#include "SimRegistry.h"
#include "SimSupport.h"
#include "SimTargetSource.h"

#include <type_traits>

namespace {

using k4xsim::SimCall;

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
    k4xsim::CountCall(SimCall::ConnectChannelServer);
    k4xsim::SimTarget target = k4xsim::LoadTarget();
    k4xsim::ThrowIfInjected(target, SimCall::ConnectChannelServer);
    if (k4xsim::NullInjected(target, SimCall::ConnectChannelServer)) return nullptr;
    return Servers().Add(std::make_unique<k4xsim::SimChannelServer>(std::move(target)));
}
static_assert(std::is_same<decltype(&ConnectChannelServer), ConnectChannelServerFn>::value, "ConnectChannelServerFn");
#endif

#if !defined(K4X_SIM_WITHOUT_DISCONNECT)
// False for a server that this library did not connect or already
// disconnected; an injected throw keeps the server until the library unloads.
K4X_SIM_EXPORT bool DisconnectChannelServer(Zr::Kdt::Trace::ChannelServer* server)
{
    k4xsim::CountCall(SimCall::DisconnectChannelServer);
    if (const k4xsim::SimChannelServer* held = Servers().Find(server)) {
        k4xsim::ThrowIfInjected(held->Target(), SimCall::DisconnectChannelServer);
    }
    return Servers().Remove(server);
}
static_assert(std::is_same<decltype(&DisconnectChannelServer), DisconnectChannelServerFn>::value,
              "DisconnectChannelServerFn");
#endif
}
