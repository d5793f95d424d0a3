// A simulated live system: its CPUs and their output files, the channel
// driver's answer to "TWP Source", and the faults to inject.
#pragma once

#include "SimFaults.h"

#include <cstdint>
#include <string>
#include <vector>

namespace k4xsim {

struct SimCpu {
    std::string name;
    std::string outFile;
};

struct SimTarget {
    std::vector<SimCpu> cpus;
    uint32_t twpStatus = 0;
    std::string twpText = "1";
    // False: neither a trace factory nor a channel server is made.
    bool reachable = true;
    SimFaults faults{};
};

// Two DSPs with an output file each; "TWP Source" answers status 0, text "1".
SimTarget DefaultTarget();

// What a description that cannot be used gives: no CPUs, and neither a
// trace factory nor a channel server.
SimTarget UnreachableTarget();

}  // namespace k4xsim
