#!/usr/bin/env bash
# Builds the library and shows a K4x CPU's trace configuration through the
# k4xtrace host, on a throw-away profile directory.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh linux
cmake --preset linux >/dev/null
cmake --build --preset linux >/dev/null

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
export USERPROFILE=$profile

echo "\$ k4xtrace show K4x_DSP0"
build/linux/bin/k4xtrace show K4x_DSP0
