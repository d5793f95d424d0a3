// Runs every benchmark inside one throw-away profile.
#include <benchmark/benchmark.h>

#include "BenchSandbox.h"

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    k4xbench::CreateSandbox();
    // Sets up the trace environment, so that the benchmarks see a process
    // that already made its first manager.
    if (!k4xbench::SaveCpuSettings()) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    k4xbench::RemoveSandbox();
    return 0;
}
