#!/usr/bin/env bash
# Weighs the tests against the product in lexical tokens (scripts/test_weight.py).
#   scripts/test-weight.sh [--check]
# With --check it exits 1 when the tests are more than a third of all code.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 scripts/test_weight.py "$@"
