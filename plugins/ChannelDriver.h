// The channel-driver library, loaded at run time as "NAVRO": it connects a
// channel server and opens one driver instance per CPU.
#pragma once

#include "ChannelServer.h"

#include <cstddef>
#include <cstdint>

namespace Zr {
namespace Kdt {
namespace Trace {

// The library's name, and its exports as the manager looks them up: it
// needs ConnectChannelServer, and disconnects through
// DisconnectChannelServer when present.
constexpr char kChannelDriverLibrary[] = "NAVRO";
constexpr char kConnectChannelServerExport[] = "ConnectChannelServer";
constexpr char kDisconnectChannelServerExport[] = "DisconnectChannelServer";

// Filled in by ChannelDriverInstance::QueryProperty.
struct PropertyReply {
    uint64_t word;      // the driver's own; not read here
    uint32_t status;    // 0 when value is present
    const char* value;  // NUL-terminated text, owned by the driver
};

static_assert(offsetof(PropertyReply, status) == 8, "status at byte 8");
static_assert(offsetof(PropertyReply, value) == 16, "value at byte 16");

class ChannelDriverInstance {
public:
    virtual void Reserved01() {}
    // Position 2: asks the target for a named property. May throw.
    virtual bool QueryProperty(const char* name, PropertyReply* reply) = 0;

protected:
    ~ChannelDriverInstance() = default;
};

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr

extern "C" {
typedef Zr::Kdt::Trace::ChannelServer* (*ConnectChannelServerFn)();
typedef bool (*DisconnectChannelServerFn)(Zr::Kdt::Trace::ChannelServer*);
}
