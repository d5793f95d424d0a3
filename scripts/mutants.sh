#!/usr/bin/env bash
# Injects faults into the library's own code, one at a time, and counts how
# many the Linux suite catches. The mutants are the fixed rows of
# scripts/mutants.txt (scripts/mutants.py generate writes them from a fixed
# seed), each keyed by the text it changes, so a run after the suite or
# the code elsewhere changes meets the same faults.
#   scripts/mutants.sh [LIST]
# For each row: mutate the source, rebuild the preset mutants (its own
# build folder, build/mutants), run the suite until its first failure (the
# CTest suite, then the Python package's tests from the source tree against
# that build's C interface), and put the source back. The suite must pass
# before any fault. A mutant that does not compile is left out; a row whose
# text is gone from the code stops the run before any build, since the list
# no longer measures what it says. The source is put back on
# every exit, Ctrl-C included. Logs stay in build/mutants/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

list=${1:-scripts/mutants.txt}
bash scripts/install-deps.sh mutants python
python3 scripts/mutants.py check "$list"
cmake --preset mutants >/dev/null
cmake --build --preset mutants >/dev/null
logs=build/mutants/logs
mkdir -p "$logs"

backup=$(mktemp)
mutated=""
# A fresh time stamp on the restored file makes the next build recompile it.
restore() {
  if [ -n "$mutated" ]; then
    cat "$backup" >"$mutated"
    mutated=""
  fi
}
trap 'restore; rm -f "$backup"' EXIT
trap 'exit 130' INT TERM

# The Python tests as scripts/test-python.sh runs them, without the install.
# shellcheck source=scripts/python-env.sh
source scripts/python-env.sh
python_suite() {
  (k4x_python_env "$PWD/build/mutants/bin"
   PYTHONPATH=$PWD/python /usr/bin/python3 -m pytest -q -x -p no:cacheprovider python/tests)
}
# Until the first failure; a hung test fails at the preset's time-out.
suite() { ctest --preset mutants -j2 --stop-on-failure && python_suite; }

# A suite that fails before any fault would count every fault as caught.
if ! suite >"$logs/unmutated.test.log" 2>&1; then
  echo "the suite fails without a fault: see $logs/unmutated.test.log" >&2
  exit 1
fi

killed=0 compiled=0 broken=0 number=0
survivors=()
while IFS=$'\t' read -r file original replacement; do
  number=$((number + 1))
  label="$file: $original -> ${replacement:-(deleted)}"
  cp "$file" "$backup"
  mutated=$file
  python3 scripts/mutants.py apply "$file" "$original" "$replacement"
  if ! cmake --build --preset mutants >"$logs/$number.build.log" 2>&1; then
    outcome="not compiled"
    broken=$((broken + 1))
  else
    compiled=$((compiled + 1))
    if suite >"$logs/$number.test.log" 2>&1; then
      outcome="SURVIVED"
      survivors+=("$label")
    else
      outcome="killed"
      killed=$((killed + 1))
    fi
  fi
  restore
  printf '%2d %-12s %s\n' "$number" "$outcome" "$label"
done <"$list"
# The build folder ends as the unmutated sources build.
cmake --build --preset mutants >/dev/null

echo
echo "killed $killed of $compiled compiled mutants ($broken did not compile)"
if [ ${#survivors[@]} -gt 0 ]; then
  echo "survivors:"
  printf '  %s\n' "${survivors[@]}"
fi
