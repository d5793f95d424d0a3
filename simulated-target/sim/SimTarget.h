// A simulated live system: its CPUs and their output files, the channel
// driver's answer to "TWP Source", and the faults to inject.
#pragma once

#include "SimCall.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace k4xsim {

struct SimCpu {
    std::string name;
    std::string outFile;
};

struct SimFault {
    // Kind_ThrowOtherOnce: a std::runtime_error, not the tools library's
    // error, on the first call only.
    enum Kind { Kind_None, Kind_Throw, Kind_ThrowOtherOnce, Kind_Null };
    Kind kind = Kind_None;
    // Kind_Throw: the CPUs served before the call throws (0: it throws at once).
    std::size_t after = 0;
};

struct SimTarget {
    std::vector<SimCpu> cpus;
    uint32_t twpStatus = 0;
    std::string twpText = "1";
    std::array<SimFault, kSimCallCount> faults{};

    SimFault& Fault(SimCall call) { return faults[static_cast<std::size_t>(call)]; }
    const SimFault& Fault(SimCall call) const { return faults[static_cast<std::size_t>(call)]; }
};

// Two DSPs with an output file each; "TWP Source" answers status 0, text "1".
SimTarget DefaultTarget();

// What a description that cannot be used gives: no CPUs, and neither a
// trace factory nor a channel server.
SimTarget UnreachableTarget();

// Throws cVexaError (Severity_Error) when `call` is set to throw once
// `served` CPUs have been served.
void ThrowIfInjected(const SimTarget& target, SimCall call, std::size_t served = 0);

// True when `call` is set to give nothing.
bool NullInjected(const SimTarget& target, SimCall call);

}  // namespace k4xsim
