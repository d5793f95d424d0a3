#!/usr/bin/env bash
# Builds the packages a user downloads into build/<preset>/packages/:
# the Linux .tar.gz and Debian packages, and the Windows .zip, each with
# the Python wheel of its system inside, and the wheel beside them.
#   scripts/package.sh [linux] [windows]      (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux windows)
for preset in "${presets[@]}"; do
  echo "==== package $preset ===="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  bash scripts/wheel.sh "$preset"
  (cd "build/$preset" && cpack)
  if [ "$preset" = linux ]; then bash scripts/deb.sh; fi
  cp "build/$preset"/wheel/*.whl "build/$preset/packages/"
done
