#!/usr/bin/env bash
# A short tour of the library's main job, on the simulated K4x target and a
# throw-away profile: set a configuration, save it as text and into a TDF
# container, read it back, connect to the live target, read the trace log.
#   scripts/demo.sh             the Linux shared object
#   scripts/demo.sh --windows   the Windows DLL, under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

preset=linux
case "${1:-}" in
  "") ;;
  --windows) preset=windows ;;
  *) echo "usage: scripts/demo.sh [--windows]" >&2; exit 2 ;;
esac

# Quiet when a step succeeds; its whole output when it fails.
quietly() {
  local output
  output=$("$@" 2>&1) || { printf '%s\n' "$output" >&2; return 1; }
}

bash scripts/install-deps.sh "$preset"
quietly cmake --preset "$preset"
quietly cmake --build --preset "$preset"
bin=$repo/build/$preset/bin

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir profile apps
echo "image" >apps/core9.out
ln -s "$bin/sim/default" sim
# Logging only where the demo asks for it; each run is its own debug client.
unset ZR_TRACE_LOGGING ZR_TRACE_DEBUGCLIENT_PID

if [ "$preset" = windows ]; then
  k4xtrace() { bash "$repo/cmake/wine-run.sh" "$bin/k4xtrace.exe" "$@"; }
  k4xtdf() { bash "$repo/cmake/wine-run.sh" "$bin/k4xtdf.exe" "$@"; }
else
  k4xtrace() { "$bin/k4xtrace" "$@"; }
  k4xtdf() { "$bin/k4xtdf" "$@"; }
fi

heading() { printf '\n== %s ==\n' "$*"; }
run() {
  local shown=() word
  for word in "$@"; do
    [[ $word =~ [[:space:]] ]] && shown+=("\"$word\"") || shown+=("$word")
  done
  printf '$ %s\n' "${shown[*]}"
  "$@"
}

echo "k4xtrace loads the K4x trace configuration library ($preset build) at run"
echo "time, as a debugger does. The profile directory is a new empty folder;"
echo "the live target is the simulated one in build/$preset/bin/sim/default (\"sim\")."

heading "1. Set the trace configuration of CPU K4x_DSP0 (saved to its settings file)"
run k4xtrace --profile profile set K4x_DSP0 "Trace Mode=2" "Sync Frequency=64" "Event Bit0=PC == 0x8000" TWP_Protocol=false
run k4xtrace --profile profile show K4x_DSP0

heading "2. Save it as a text file and into a TDF container"
run k4xtrace --profile profile save K4x_DSP0 text:radio.txt
run k4xtdf create demo.tdf
run k4xtrace --profile profile save K4x_DSP0 demo.tdf
run k4xtdf list demo.tdf

heading "3. Read it back into a fresh manager, for a CPU with no settings of its own"
run k4xtrace --profile profile load K4x_DSP1 demo.tdf
run k4xtrace --profile profile diff K4x_DSP1 text:radio.txt demo.tdf
echo "(diff printed nothing and exited 0: both stores hold the same configuration)"

heading "4. Connect to the live target: its TWP source and the CPUs' output files"
echo "(the live system does not know C6x_core9, so the library asks the host)"
run k4xtrace --profile profile --live sim --log-level 1 live K4x_DSP0 K4x_DSP1 C6x_core9 --answer C6x_core9=apps/core9.out
echo "(the settings file said TWP_Protocol=false; the live target's TWP source overrides it)"

heading "5. The trace log of that run"
cat profile/.ZR-trace/zr_trace_log_*.txt
