#!/usr/bin/env python3
"""Turns one run of k4x_bench (JSON, median aggregates) and the samples of
k4x_first_manager into the figures and ratios of docs/benchmarks.md.

Single-threaded figures are CPU time (wall time also counts what else runs);
the logger figures are both, at one and four threads. The summary at the end
holds the rows of the table in docs/benchmarks.md.
"""
import json
import statistics
import sys

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
SHAPES = [(10, 1024), (10, 8192), (10, 65536), (1000, 1024), (1000, 8192), (1000, 65536), (100000, 1024)]


def load_aggregates(path, aggregate):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    return {r["run_name"]: r for r in runs if r.get("aggregate_name") == aggregate}


def spread(path):
    """The repetitions' coefficient of variation: how far to trust a ratio."""
    cvs = sorted((run["cpu_time"] * 100, name) for name, run in load_aggregates(path, "cv").items())
    if cvs:
        worst, name = cvs[-1]
        print(f"Spread of repetitions (CPU time cv): median {statistics.median(c for c, _ in cvs):.0f}%, "
              f"worst {worst:.0f}% ({name})")


class Figures:
    def __init__(self, medians):
        self.medians = medians

    def cpu(self, name):
        run = self.medians[name]
        return run["cpu_time"] * UNIT_NS[run["time_unit"]]

    def real(self, name):
        run = self.medians[name]
        return run["real_time"] * UNIT_NS[run["time_unit"]]

    def counter(self, name, key):
        return self.medians[name][key]


def fmt_ns(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def tdf(fig):
    print("TDF: last of N sections (CPU time per call)")
    print(f"  {'sections':>8} {'data':>6} {'find':>10} {'load':>10} {'whole read':>11} {'per hop':>9} {'whole/find':>10}")
    for n, size in SHAPES:
        key = f"sections:{n}/data:{size}"
        find = fig.cpu(f"BM_TdfFindLast/{key}")
        load = fig.cpu(f"BM_TdfLoadLast/{key}")
        whole = fig.cpu(f"BM_ReadWholeFile/{key}")
        print(f"  {n:>8} {size // 1024:>4}Ki {fmt_ns(find):>10} {fmt_ns(load):>10} {fmt_ns(whole):>11} "
              f"{fmt_ns(find / n):>9} {whole / find:>10.2f}")
    hop = {s: fig.cpu(f"BM_TdfFindLast/sections:1000/data:{s}") / 1000 for s in (1024, 8192, 65536)}
    print(f"  per hop at N=1000: 64 KiB / 1 KiB = {hop[65536] / hop[1024]:.2f} "
          f"(data x64), 64 KiB / 8 KiB = {hop[65536] / hop[8192]:.2f} (data x8)")
    for size in (1024, 65536):
        grow = fig.cpu(f"BM_TdfFindLast/sections:1000/data:{size}") / fig.cpu(f"BM_TdfFindLast/sections:10/data:{size}")
        print(f"  find, N=1000 / N=10 at {size // 1024} KiB: {grow:.1f} (N x100)")
    grow = fig.cpu("BM_TdfFindLast/sections:100000/data:1024") / fig.cpu("BM_TdfFindLast/sections:1000/data:1024")
    print(f"  find, N=100000 / N=1000 at 1 KiB: {grow:.1f} (N x100)")


COLD_SHAPES = [(10, 65536), (1000, 8192), (1000, 65536), (100000, 1024)]


def tdf_cold(fig):
    print("TDF, cold cache: last of N sections (wall time and bytes read from the device per call)")
    for n, size in COLD_SHAPES:
        key = f"sections:{n}/data:{size}/manual_time"
        find, whole = f"BM_TdfFindLastCold/{key}", f"BM_ReadWholeFileCold/{key}"
        find_bytes, whole_bytes = fig.counter(find, "device_bytes"), fig.counter(whole, "device_bytes")
        print(f"  {n:>6} x {size // 1024:>2} KiB: find {fmt_ns(fig.real(find))} {find_bytes / 1e3:,.0f} kB, "
              f"whole read {fmt_ns(fig.real(whole))} {whole_bytes / 1e3:,.0f} kB; "
              f"bytes whole/find {whole_bytes / max(find_bytes, 1):.1f}, time whole/find "
              f"{fig.real(whole) / fig.real(find):.2f}")


def text(fig):
    print("Text settings file (CPU time per file)")
    for lines in (10000, 100000):
        load = fig.cpu(f"BM_LoadConfiguration/lines:{lines}")
        reader = fig.cpu(f"BM_TextReaderInMemory/lines:{lines}")
        fgets = fig.cpu(f"BM_FgetsLoop/lines:{lines}")
        print(f"  {lines:>6} lines: load {fmt_ns(load)}, reader in memory {fmt_ns(reader)}, fgets {fmt_ns(fgets)}; "
              f"load/fgets {load / fgets:.2f}, reader/fgets {reader / fgets:.2f}, per line {fmt_ns(load / lines)}")


def logger(fig):
    print("Logger: lines per second (wall) and CPU per line, flush per line")
    for threads in (1, 4):
        ours, theirs = f"BM_uLoggerLine/real_time/threads:{threads}", f"BM_spdlogLine/real_time/threads:{threads}"
        ours_rate, theirs_rate = fig.counter(ours, "items_per_second"), fig.counter(theirs, "items_per_second")
        print(f"  {threads} thread(s): uLogger {ours_rate:,.0f}/s, spdlog {theirs_rate:,.0f}/s, uLogger/spdlog "
              f"{ours_rate / theirs_rate:.2f}; CPU per line uLogger {fmt_ns(fig.cpu(ours))}, spdlog "
              f"{fmt_ns(fig.cpu(theirs))}, spdlog/uLogger {fig.cpu(theirs) / fig.cpu(ours):.2f}")
    off = fig.cpu("BM_LogCallWhenOff")
    empty = fig.cpu("BM_EmptyLoop")
    print(f"  log call with logging off {fmt_ns(off)}, empty loop {fmt_ns(empty)}; "
          f"difference {fmt_ns(off - empty)} per call")


def first_manager_medians(path):
    """Medians of k4x_first_manager's samples: first open, first manager,
    later open, later manager (ns)."""
    with open(path) as f:
        samples = [list(map(int, line.split())) for line in f if line.strip()]
    return len(samples), [statistics.median(col) for col in zip(*samples)]


def manager(fig, first_path):
    print("Manager create + destroy (CPU time)")
    made = fig.cpu("BM_ManagerCreateDestroy")
    bare = fig.cpu("BM_ManagerCreateDestroyUnconfigured")
    opened = fig.cpu("BM_SettingsOpenClose")
    print(f"  later in a process: {fmt_ns(made)} with its settings file, {fmt_ns(bare)} without; "
          f"fopen+fclose {fmt_ns(opened)}; ratios {made / opened:.2f} and {bare / opened:.2f}")
    count, (first_open, first_made, later_open, later_made) = first_manager_medians(first_path)
    print(f"  fresh process, median of {count} (wall time): first manager {fmt_ns(first_made)}, "
          f"first fopen+fclose {fmt_ns(first_open)}; later manager {fmt_ns(later_made)}, "
          f"later fopen+fclose {fmt_ns(later_open)}")
    print(f"  first manager / first open {first_made / first_open:.1f}, first / later manager "
          f"{first_made / later_made:.1f}, later manager / later open {later_made / later_open:.2f}")


def summary(fig, first_path):
    """The rows of the summary table of docs/benchmarks.md, as Markdown."""
    def logger_rows(threads):
        ours, theirs = f"BM_uLoggerLine/real_time/threads:{threads}", f"BM_spdlogLine/real_time/threads:{threads}"
        wall = fig.counter(ours, "items_per_second") / fig.counter(theirs, "items_per_second")
        return [(f"logger, {threads} thread(s): uLogger / spdlog lines per second (wall)", ">= 1.0", wall, wall >= 1),
                (f"logger, {threads} thread(s): spdlog / uLogger CPU per line", ">= 1.0",
                 fig.cpu(theirs) / fig.cpu(ours), fig.cpu(theirs) >= fig.cpu(ours))]
    _, (_, first_made, later_open, later_made) = first_manager_medians(first_path)
    cpu_later = fig.cpu("BM_ManagerCreateDestroy") / fig.cpu("BM_SettingsOpenClose")
    cold = "sections:1000/data:65536/manual_time"
    bytes_ratio = fig.counter(f"BM_ReadWholeFileCold/{cold}", "device_bytes") / max(
        fig.counter(f"BM_TdfFindLastCold/{cold}", "device_bytes"), 1)
    rows = logger_rows(1) + logger_rows(4)
    for lines in (10000, 100000):
        ratio = fig.cpu(f"BM_LoadConfiguration/lines:{lines}") / fig.cpu(f"BM_FgetsLoop/lines:{lines}")
        rows.append((f"text load / fgets, {lines:,} lines (CPU)", "<= 3", ratio, ratio <= 3))
    rows += [("later manager / fopen+fclose (CPU)", "<= 3", cpu_later, cpu_later <= 3),
             ("later manager / fopen+fclose (wall, fresh processes)", "<= 3", later_made / later_open,
              later_made <= 3 * later_open),
             ("first manager / later manager (wall, fresh processes)", "<= 10", first_made / later_made,
              first_made <= 10 * later_made),
             ("TDF cold, 1,000 x 64 KiB: bytes whole read / find", "16, the 4 KiB page floor", bytes_ratio,
              bytes_ratio >= 15.5)]
    print("Summary (docs/benchmarks.md)")
    print("| figure | goal | this run | met |")
    print("|---|---|---:|---|")
    for name, goal, value, met in rows:
        print(f"| {name} | {goal} | {value:.2f} | {'yes' if met else 'no'} |")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: ratios.py K4X_BENCH_JSON FIRST_MANAGER_SAMPLES")
    fig = Figures(load_aggregates(sys.argv[1], "median"))
    for section in (tdf, tdf_cold, text, logger):
        section(fig)
    manager(fig, sys.argv[2])
    spread(sys.argv[1])
    summary(fig, sys.argv[2])


if __name__ == "__main__":
    main()
