#!/usr/bin/env bash
# Weighs the tests against the product: non-blank lines of C++ that git
# tracks (so no build tree counts) under tests/ and under the product's
# folders, and their ratio.
#   scripts/test-weight.sh [MAX_PERCENT]
# With MAX_PERCENT it exits 1 when the tests exceed that share of the
# product.
set -euo pipefail
cd "$(dirname "$0")/.."

product=(include core k4x formats tdf common platform external tools capi ':!capi/tests')

# Non-blank lines of the tracked C++ files under the folders given.
lines() {
  git ls-files -z -- "$@" | grep -zE '\.(cpp|cc|h|hpp|c)$' | xargs -0 -r cat | grep -c '[^[:space:]]' || true
}

tests=$(lines tests capi/tests)
code=$(lines "${product[@]}")
percent=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.1f", c ? 100 * t / c : 0 }')
echo "tests:   $tests non-blank lines (tests/, capi/tests/)"
echo "product: $code non-blank lines (${product[*]})"
echo "ratio:   $percent%"

if [ $# -gt 0 ]; then
  if awk -v p="$percent" -v max="$1" 'BEGIN { exit !(p > max) }'; then
    echo "tests exceed $1% of the product" >&2
    exit 1
  fi
fi
