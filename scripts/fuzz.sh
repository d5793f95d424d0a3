#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang 14, ASan and UBSan) and
# runs them one after the other, each for SECONDS seconds (default 600).
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Without TARGETs it runs every target of fuzz/CMakeLists.txt.
# Each target starts from a scratch copy of fuzz/corpus/<target>/, so the
# committed seeds never grow by themselves. An input that makes a target
# fail is saved in fuzz/regressions/<target>/, where the replay tests of the
# ordinary builds pick it up. Logs stay in build/fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=("$@")

bash scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
# By default every target the build knows, one a line in this file.
[ ${#targets[@]} -gt 0 ] || mapfile -t targets <build/fuzz/fuzz/targets.txt

# The TDF target rewrites a temporary file for every input; on ext4 each
# rewrite of a truncated file waits for the disk, so keep it in memory.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
logs=build/fuzz/logs
mkdir -p "$logs"

# The value of one of libFuzzer's final "stat::" lines.
stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

status=0
results=()
for target in "${targets[@]}"; do
  work=$scratch/$target
  mkdir -p "$work/corpus" "$work/artifacts"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  log=$logs/$target.log
  echo "==== $target: $seconds s"
  rc=0
  build/fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" >"$log" 2>&1 || rc=$?

  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
  outcome="no findings"
  if [ $rc -ne 0 ]; then
    status=1
    mkdir -p fuzz/regressions/"$target"
    found=$(ls "$work/artifacts")
    cp "$work"/artifacts/* fuzz/regressions/"$target"/ 2>/dev/null || true
    outcome="FAULT (exit $rc): saved ${found:-nothing} to fuzz/regressions/$target/, see $log"
    grep -m 3 -E 'ERROR|invariant|runtime error' "$log" || true
  fi
  results+=("$(printf '%-14s %8s %12s %8s  %-18s %s' "$target" "$seconds" \
    "$(stat number_of_executed_units "$log")" "$(stat average_exec_per_sec "$log")" "${coverage:-?}" "$outcome")")
done

printf '\n%-14s %8s %12s %8s  %-18s %s\n' target seconds executions exec/s coverage outcome
printf '%s\n' "${results[@]}"
exit $status
