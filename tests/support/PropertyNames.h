// The names of the trace properties, as hosts spell them.
#pragma once

namespace k4xtest {

// The stored integers, in the order of the settings file.
inline constexpr const char* kIntegerProperties[] = {"Trace Mode",    "Encoding Mode", "Sync Frequency",
                                                     "Number of AEG", "Memory Mode",   "CEMU Status"};
inline constexpr const char* kEventBitProperties[] = {"Event Bit0", "Event Bit1", "Event Bit2", "Event Bit3"};
inline constexpr const char kTwpProperty[] = "TWP_Protocol";
// Read-only, always true.
inline constexpr const char kCycleModeDeltaProperty[] = "CycleModeDelta";

}  // namespace k4xtest
