#!/usr/bin/env bash
# Builds both targets and runs every test: the Linux shared object natively,
# the Windows DLL under Wine, and the Linux build again under
# AddressSanitizer and UndefinedBehaviorSanitizer (the C interface and its
# C example among them) and under ThreadSanitizer (threads that log while
# the loggers are released); builds the library and the tools with clang 14
# too, without tests. Then installs the Python package from the clone and
# runs its tests and the README's examples, packages the two built trees
# and checks each package from an empty folder, runs the checkers of
# scripts/check-tools.sh (shellcheck, clang-tidy, mypy, lintian), runs each
# benchmark once and holds the hot paths' counts to their budgets. Fails
# when any build, test, package check, checker or budget fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows clang python package checkers

status=0
for preset in linux windows asan tsan; do
  echo "==== $preset ===="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 || status=1
done

# A second compiler's warnings, which the presets turn into errors.
echo "==== clang (build only) ===="
cmake --preset clang >/dev/null
cmake --build --preset clang || status=1

echo "==== Python and the README's examples ===="
bash scripts/test-python.sh linux || status=1
# The README's C host is examples/c-host/main.c, which CTest runs in each build.
diff <(sed -n '/^```c$/,/^```$/{/^```/d;p}' README.md) examples/c-host/main.c || status=1

echo "==== packages ===="
bash scripts/check-packages.sh linux windows || status=1

echo "==== checkers ===="
bash scripts/check-tools.sh || status=1

# The benchmarks build and each runs once; no time figure is checked, but
# the instruction and system-call counts of the hot paths are held to
# their budgets (bench/budgets.txt).
echo "==== bench (smoke) and count budgets ===="
bash scripts/bench.sh --smoke || status=1

# The Wine server of the test prefix outlives the tests; stop it.
WINEPREFIX=$PWD/build/windows/wineprefix wineserver -k 2>/dev/null || true
exit $status
