// The calls that the stand-ins simulate. One name serves to count a call
// and to name its fault in a target description.
#pragma once

#include <cstddef>
#include <string>

namespace k4xsim {

enum SimCall {
    SimCall_CreateTraceFactory,
    SimCall_DestroyTraceFactory,
    SimCall_CreateChannelServer,
    SimCall_DestroyChannelServer,
    SimCall_ConnectChannelServer,
    SimCall_DisconnectChannelServer,
    SimCall_OpenDriverInstance,
    SimCall_QueryProperty,
    SimCall_GetLiveCpus,
    SimCall_GetCpuOutFile,
    SimCall_Count
};

constexpr std::size_t kSimCallCount = static_cast<std::size_t>(SimCall_Count);

// "GetLiveCpus" for SimCall_GetLiveCpus.
const char* SimCallName(SimCall call);

// The call named exactly `name`; false when no call has that name.
bool FindSimCall(const std::string& name, SimCall& call);

// Counts one call in this module; tests read the counts through SimCallCount.
void CountCall(SimCall call);

long CallCount(SimCall call);

}  // namespace k4xsim
