#!/usr/bin/env python3
"""The C interface against the C++ interface, from one run of k4x_bench (JSON,
median aggregates of interleaved repetitions), and the Python interface's
cost of the same three calls, measured here through the bench build's C
interface: set and get "Trace Mode", load the settings file. All CPU time.

Usage: capi_ratios.py C_LIBRARY K4X_BENCH_JSON
       capi_ratios.py C_LIBRARY --smoke   (each call once, nothing printed)
"""
import json
import os
import statistics
import sys
import time
import timeit

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "python"))
import k4xtrace  # noqa: E402

CALLS = [("set", "SetProperty", 'm["Trace Mode"] = 3'), ("get", "GetProperty", 'm["Trace Mode"]'),
         ("load", "LoadSettings", 'm.load("K4x_Core0-TCfg.txt")')]
UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def python_ns(manager, statement, rounds, number):
    timer = timeit.Timer(statement, timer=time.process_time, globals={"m": manager})
    return statistics.median(timer.repeat(rounds, number)) / number * 1e9


def cpu_ns(medians, name):
    run = medians[name + "_median"]
    return run["cpu_time"] * UNIT_NS[run["time_unit"]]


def main():
    smoke = sys.argv[2] == "--smoke"
    with k4xtrace.Manager("K4x_Core0", library=sys.argv[1]) as manager:
        manager.save("K4x_Core0-TCfg.txt")
        python = {call: python_ns(manager, statement, 1 if smoke else 7, 1 if smoke else 20000)
                  for call, _, statement in CALLS}
    if smoke:
        return
    with open(sys.argv[2]) as f:
        medians = {run["name"]: run for run in json.load(f)["benchmarks"] if run.get("aggregate_name") == "median"}
    print("C interface and Python against the C++ interface (CPU time per call; C and C++ interleaved)")
    print(f"  {'call':<5} {'C++':>9} {'C':>9} {'Python':>9} {'C / C++':>8} {'Python / C++':>13}")
    for call, bench, _ in CALLS:
        cxx, c = cpu_ns(medians, "BM_Cxx" + bench), cpu_ns(medians, "BM_CApi" + bench)
        print(f"  {call:<5} {cxx:>7.0f}ns {c:>7.0f}ns {python[call]:>7.0f}ns {c / cxx:>8.2f} "
              f"{python[call] / cxx:>13.1f}")


if __name__ == "__main__":
    main()
