// Log lines with a flush per line, from one and from four threads, against
// spdlog writing the same lines the same way; and what a log call costs the
// caller while logging is off.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchSandbox.h"
#include "LoggerLines.h"
#include "uLogManager.h"
#include "uLogger.h"

namespace {

// Made afresh, with an empty file, by the first thread of every run; the
// other threads start only after it (the run's start barrier).
std::unique_ptr<ZR_KDT::uLogger> g_uLogger;
std::shared_ptr<spdlog::logger> g_spdlog;

void BM_uLoggerLine(benchmark::State& state)
{
    if (state.thread_index() == 0) {
        g_uLogger = std::make_unique<ZR_KDT::uLogger>(k4xbench::SandboxPath("ulogger.log").c_str(), false);
        // The first line opens the file and empties the last run's lines:
        // before the timing, as spdlog's sink does in its constructor.
        k4xbench::LogLine(*g_uLogger);
    }
    for (auto _ : state) k4xbench::LogLine(*g_uLogger);
    state.SetItemsProcessed(state.iterations());
}

void BM_spdlogLine(benchmark::State& state)
{
    if (state.thread_index() == 0) g_spdlog = k4xbench::MakeSpdlog(k4xbench::SandboxPath("spdlog.log"));
    for (auto _ : state) k4xbench::LogLine(*g_spdlog);
    state.SetItemsProcessed(state.iterations());
}

// The calling idiom of every component, with logging off.
void BM_LogCallWhenOff(benchmark::State& state)
{
    if (ZR_KDT::uLogManager::Instance().m_nLevel.load() != 0) {
        state.SkipWithError("logging is on");
        return;
    }
    for (auto _ : state) {
        ZR_KDT::uLogManager& log = ZR_KDT::uLogManager::Instance();
        if (log.m_nLevel.load() >= 1) k4xbench::LogLine(*log.m_pLogger.load());
        benchmark::ClobberMemory();
    }
}

void BM_EmptyLoop(benchmark::State& state)
{
    for (auto _ : state) benchmark::ClobberMemory();
}

}  // namespace

BENCHMARK(BM_uLoggerLine)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_spdlogLine)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_LogCallWhenOff);
BENCHMARK(BM_EmptyLoop);
