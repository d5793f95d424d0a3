// The trace factory library, loaded at run time as "TraceFactory": it
// knows the live system and makes the channel server that reports it.
#pragma once

#include "ChannelServer.h"

namespace Zr {
namespace Kdt {
namespace Trace {

// The library's name, and its exports as the manager looks them up: it
// needs CreateTraceFactory, and calls DestroyTraceFactory when present.
constexpr char kTraceFactoryLibrary[] = "TraceFactory";
constexpr char kCreateTraceFactoryExport[] = "CreateTraceFactory";
constexpr char kDestroyTraceFactoryExport[] = "DestroyTraceFactory";

class TraceFactory {
public:
    // Stores a new server into *server (or leaves it null). The flag is always true.
    virtual bool CreateChannelServer(ChannelServer** server, bool connect) = 0;
    // Releases a server made by CreateChannelServer. The flag is always 0.
    virtual bool DestroyChannelServer(ChannelServer* server, int flags) = 0;

protected:
    ~TraceFactory() = default;
};

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr

extern "C" {
// CreateTraceFactory is required; DestroyTraceFactory is called when present.
typedef Zr::Kdt::Trace::TraceFactory* (*CreateTraceFactoryFn)();
typedef void (*DestroyTraceFactoryFn)(Zr::Kdt::Trace::TraceFactory*);
}
