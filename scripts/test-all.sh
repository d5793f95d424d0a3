#!/usr/bin/env bash
# Builds both targets and runs every test: the Linux shared object natively,
# the Windows DLL under Wine, and the Linux build again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a smoke run of the
# benchmarks. Fails when any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows

status=0
for preset in linux windows asan; do
  echo "==== $preset ===="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 || status=1
done

# The benchmarks build and each runs once; no figure is checked.
echo "==== bench (smoke) ===="
bash scripts/bench.sh --smoke || status=1

# The Wine server of the test prefix outlives the tests; stop it.
WINEPREFIX=$PWD/build/windows/wineprefix wineserver -k 2>/dev/null || true
exit $status
