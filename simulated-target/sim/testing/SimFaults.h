// The faults that a target description injects into the simulated calls,
// for the tests: a call that throws, or one that gives nothing.
#pragma once

#include "SimCall.h"

#include <array>
#include <cstddef>
#include <string>

namespace k4xsim {

struct SimFault {
    // Kind_ThrowOtherOnce: a std::runtime_error, not the tools library's
    // error, on the first call only.
    enum Kind { Kind_None, Kind_Throw, Kind_ThrowOtherOnce, Kind_Null };
    Kind kind = Kind_None;
    // Kind_Throw: the CPUs served before the call throws (0: it throws at once).
    std::size_t after = 0;
    // Kind_ThrowOtherOnce: thrown already.
    mutable bool spent = false;
};

// One fault per call, none by default.
using SimFaults = std::array<SimFault, kSimCallCount>;

// Throws cVexaError (Severity_Error) when `call` is set to throw once
// `served` CPUs have been served; throws std::runtime_error on the first
// call set to "throw other once".
void ThrowIfInjected(const SimFaults& faults, SimCall call, std::size_t served = 0);

// True when `call` is set to give nothing.
bool NullInjected(const SimFaults& faults, SimCall call);

// Applies one [faults] entry, e.g. "GetLiveCpus", "throw after 1". False
// with `error` when the call cannot fail that way.
bool ParseFault(const std::string& call, const std::string& value, SimFaults& faults, std::string& error);

}  // namespace k4xsim
