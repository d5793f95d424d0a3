// The calls that the stand-ins simulate. One name serves to count a call
// and to name its fault in a target description.
#pragma once

#include <cstddef>
#include <string>

namespace k4xsim {

enum class SimCall {
    CreateTraceFactory,
    DestroyTraceFactory,
    CreateChannelServer,
    DestroyChannelServer,
    ConnectChannelServer,
    DisconnectChannelServer,
    OpenDriverInstance,
    QueryProperty,
    GetLiveCpus,
    GetCpuOutFile,
    Count
};

constexpr std::size_t kSimCallCount = static_cast<std::size_t>(SimCall::Count);

// "GetLiveCpus" for SimCall::GetLiveCpus.
const char* SimCallName(SimCall call);

// The call named exactly `name`; false when no call has that name.
bool FindSimCall(const std::string& name, SimCall& call);

// Counts one call in this module; tests read the counts through SimCallCount.
void CountCall(SimCall call);

long CallCount(SimCall call);

}  // namespace k4xsim
