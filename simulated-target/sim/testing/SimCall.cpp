#include "SimCall.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <iterator>

namespace k4xsim {

namespace {

const char* const kNames[kSimCallCount] = {
    "CreateTraceFactory",   "DestroyTraceFactory",     "CreateChannelServer", "DestroyChannelServer",
    "ConnectChannelServer", "DisconnectChannelServer", "OpenDriverInstance",  "QueryProperty",
    "GetLiveCpus",          "GetCpuOutFile",
};

// Hosts may drive two managers from two threads.
std::array<std::atomic<long>, kSimCallCount> g_counts{};

}  // namespace

const char* SimCallName(SimCall call) { return kNames[call]; }

bool FindSimCall(const std::string& name, SimCall& call)
{
    const auto found = std::find(std::begin(kNames), std::end(kNames), name);
    call = static_cast<SimCall>(found - std::begin(kNames));
    return found != std::end(kNames);
}

void CountCall(SimCall call) { ++g_counts[call]; }

long CallCount(SimCall call) { return g_counts[call].load(); }

}  // namespace k4xsim
