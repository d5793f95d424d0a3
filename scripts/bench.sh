#!/usr/bin/env bash
# Builds the release benchmarks (preset "bench") and runs them: Google
# Benchmark for everything measured inside one process, and a fresh process
# per sample for the first manager of a process. Prints the machine, the
# load average before and after, the figures and the ratios that
# docs/benchmarks.md explains, and says when the machine was too busy for
# the time figures to mean much; keeps the raw results in
# build/bench/results/.
# Last come the counts that the load does not change: instructions and
# system calls of each hot operation (callgrind and strace; bench/counts.py).
#   scripts/bench.sh [repetitions [first-manager samples]]   (default 5 21)
#   scripts/bench.sh --smoke   builds, runs every benchmark once, checks no
#                              time figure, and holds the counts to their
#                              budgets (bench/budgets.txt)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh bench
cmake --preset bench >/dev/null
cmake --build --preset bench -j2
bin=build/bench/bin

# The managers must not see the caller's trace environment or log.
unset ZR_TRACE_DEBUGCLIENT_PID ZR_TRACE_LOGGING_DIR ZR_TRACE_DATA_DIR ZR_TRACE_SETTINGS_DIR
export ZR_TRACE_LOGGING=0

# Every file of the run (175 MB of TDF files at most) lives here and goes
# with it, even when the run is interrupted.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "${1:-}" = --smoke ]; then
  # One iteration of each benchmark; the 100,000-section shape alone would
  # take longer than all the others together.
  TMPDIR=$work "$bin/k4x_bench" --benchmark_min_time=0.000001 --benchmark_filter=-sections:100000 >/dev/null
  mkdir "$work/profile"
  settings=$(USERPROFILE=$work/profile "$bin/k4x_first_manager" prepare)
  USERPROFILE=$work/profile "$bin/k4x_first_manager" measure "$settings" >/dev/null
  USERPROFILE=$work/profile python3 bench/capi_ratios.py "$bin/libK4xTraceC.so" --smoke
  echo "benchmarks: smoke run passed"
  # The counts are held to bench/budgets.txt: a hot path that does more
  # fails here.
  python3 bench/counts.py "$bin" --check
  exit 0
fi

repetitions=${1:-5}
samples=${2:-21}

results=build/bench/results
mkdir -p "$results"

# Above 0.75 runnable tasks per core (1.5 on two) other work takes turns with
# the benchmarks, and their times swing by a factor of two between runs.
busy_limit=$(awk -v cores="$(nproc)" 'BEGIN { print 0.75 * cores }')
busy=no

# Adds "load before: 0.12 0.30 0.41 (1, 5, 15 min)" to the machine's
# record, and marks the run busy when the one-minute average is above the
# limit. Not in a pipe: it sets busy.
report_load() {
  local one five fifteen
  read -r one five fifteen _ </proc/loadavg
  echo "load $1: $one $five $fifteen (1, 5, 15 min)" | tee -a "$results/machine.txt"
  if awk -v load="$one" -v limit="$busy_limit" 'BEGIN { exit !(load > limit) }'; then
    busy=yes
    echo "  busy: above $busy_limit on $(nproc) cores" | tee -a "$results/machine.txt"
  fi
}

{
  echo "nproc:    $(nproc)"
  echo "cpu:      $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
  echo "kernel:   $(uname -r)"
  compiler=$(sed -n "s/^CMAKE_CXX_COMPILER:[A-Z]*=//p" build/bench/CMakeCache.txt)
  echo "compiler: $("$compiler" --version | head -n1)"
} | tee "$results/machine.txt"
report_load before

TMPDIR=$work "$bin/k4x_bench" --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true \
  --benchmark_out="$results/k4x_bench.json" --benchmark_out_format=json >"$results/k4x_bench.txt"
grep -E '^(Run on|Load Average|Benchmark|BM_.*_median )' "$results/k4x_bench.txt"

# One process per sample; the profile is shared, as a debugger's is.
profile=$work/profile
mkdir "$profile"
settings=$(USERPROFILE=$profile "$bin/k4x_first_manager" prepare)
for _ in $(seq "$samples"); do
  USERPROFILE=$profile "$bin/k4x_first_manager" measure "$settings"
done >"$results/first_manager.txt"

python3 bench/ratios.py "$results/k4x_bench.json" "$results/first_manager.txt" | tee "$results/ratios.txt"
# The Python calls right after, in the same profile as the first manager.
USERPROFILE=$profile python3 bench/capi_ratios.py "$bin/libK4xTraceC.so" "$results/k4x_bench.json" |
  tee -a "$results/ratios.txt"
report_load after
python3 bench/counts.py "$bin" | tee "$results/counts.txt"
if [ "$busy" = yes ]; then
  echo "NOT A QUIET RUN: the load was above $busy_limit; the time figures above mean little" \
    "(the counts do not depend on the load)" | tee -a "$results/machine.txt"
else
  echo "quiet run: the load stayed at or below $busy_limit" | tee -a "$results/machine.txt"
fi
