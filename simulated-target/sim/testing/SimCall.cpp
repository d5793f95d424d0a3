#include "SimCall.h"

#include <array>
#include <atomic>

namespace k4xsim {

namespace {

constexpr std::array<const char*, kSimCallCount> kNames{
    "CreateTraceFactory",   "DestroyTraceFactory",     "CreateChannelServer", "DestroyChannelServer",
    "ConnectChannelServer", "DisconnectChannelServer", "OpenDriverInstance",  "QueryProperty",
    "GetLiveCpus",          "GetCpuOutFile",
};

// Hosts may drive two managers from two threads.
std::array<std::atomic<long>, kSimCallCount> g_counts{};

std::size_t Index(SimCall call) { return static_cast<std::size_t>(call); }

}  // namespace

const char* SimCallName(SimCall call) { return kNames[Index(call)]; }

bool FindSimCall(const std::string& name, SimCall& call)
{
    for (std::size_t i = 0; i < kSimCallCount; ++i) {
        if (name == kNames[i]) {
            call = static_cast<SimCall>(i);
            return true;
        }
    }
    return false;
}

void CountCall(SimCall call) { ++g_counts[Index(call)]; }

long CallCount(SimCall call) { return g_counts[Index(call)].load(); }

}  // namespace k4xsim
