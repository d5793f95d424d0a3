// What every fuzz target shares: the libFuzzer entry point, which both the
// fuzzing build and the replay driver call, and the invariant check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

// A broken invariant aborts: libFuzzer saves the input as a crash, and the
// replay driver's test fails.
inline void FuzzCheck(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}
