#!/usr/bin/env bash
# Runs the checkers that distributions and users run on such a project;
# each must report nothing, or the script exits 1 with what it reported:
#   - shellcheck -S warning: the shell scripts of scripts/, cmake/ and .ci/
#   - clang-tidy: the checks of .clang-tidy on the library, the host layer,
#     the C interface and the tools, with the compile commands of build/linux
#   - mypy --strict: the Python package, which promises its types (py.typed)
#   - lintian: the Debian packages in build/linux/packages/ (scripts/deb.sh)
# Uses the linux build and the packages that test-all.sh has made already.
#   scripts/check-tools.sh [shellcheck] [clang-tidy] [mypy] [lintian]   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh checkers

run_shellcheck() {
  local scripts=()
  mapfile -t scripts < <(git ls-files scripts cmake .ci | while read -r file; do
    case $file in *.sh) echo "$file" ;; *) head -n1 "$file" | grep -q '^#!.*sh$' && echo "$file" ;; esac
  done)
  shellcheck -S warning "${scripts[@]}"
}

# The sources of the shipped modules that the linux build compiles: the
# library with the tools library, the C interface and the tools.
run_clang_tidy() {
  [ -f build/linux/compile_commands.json ] || { echo "no build/linux/compile_commands.json: build the linux preset" >&2; return 1; }
  sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' build/linux/compile_commands.json |
    grep -E "^$root/(platform|common|tdf|formats|k4x|core|library|host|capi/src|tools|external/vexa)/" | sort -u |
    xargs -P "$(nproc)" -n 4 clang-tidy-14 -p build/linux --quiet 2>/dev/null
}

run_mypy() {
  mypy --strict --cache-dir build/mypy-cache python/k4xtrace python/generate_constants.py
}

run_lintian() {
  compgen -G "build/linux/packages/*.deb" >/dev/null || { echo "no Debian packages: run scripts/deb.sh" >&2; return 1; }
  lintian --fail-on error,warning build/linux/packages/*.deb
}

checkers=("$@")
[ ${#checkers[@]} -gt 0 ] || checkers=(shellcheck clang-tidy mypy lintian)
status=0
for checker in "${checkers[@]}"; do
  echo "---- $checker ----"
  "run_${checker//-/_}" || { echo "check-tools: $checker reported the findings above" >&2; status=1; }
done
exit $status
