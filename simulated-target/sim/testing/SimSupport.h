// Test support exported by both stand-in libraries, beside their own
// exports. A test looks them up in the module that the library under test
// loaded (loading the same file again gives the same module).
#pragma once

extern "C" {

// How often this module has seen the named call ("GetLiveCpus", ...; the
// names are those of the [faults] keys). -1 for a name it does not know.
K4X_SIM_EXPORT long SimCallCount(const char* name);
}
