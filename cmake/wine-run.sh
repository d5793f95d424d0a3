#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest, quietly and fast.
#
# Wine's helper processes inherit the caller's output pipe and hold it open
# for seconds after the program ends, so the program writes to temporary
# files that are streamed to the caller instead. One long-lived wineserver
# per prefix saves the server start-up of every run. The prefix lives beside
# the build's bin/ folder and is created once, under a lock.
set -u
exe=$1
shift
bindir=$(cd "$(dirname "$exe")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$bindir")/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=

mkdir -p "$WINEPREFIX"
{
  flock 9
  wineserver -p60 9>&- 2>/dev/null
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot 9>&- >/dev/null 2>&1
  fi
} 9>"$WINEPREFIX.lock"

out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$exe" "$@" >"$out" 2>"$err" 9>&- &
pid=$!
tail -f -s 0.05 -n +1 --pid=$pid "$out" &
tail_out=$!
tail -f -s 0.05 -n +1 --pid=$pid "$err" >&2 &
tail_err=$!
wait $pid
rc=$?
wait $tail_out $tail_err
exit $rc
