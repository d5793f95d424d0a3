#!/usr/bin/env bash
# Line and branch coverage of the library's own code (core, k4x, formats, tdf,
# common, platform) by the Linux suite: builds the preset coverage (gcc
# --coverage, -O0), runs every test of it and reports with gcovr. Tests,
# stand-ins, tools and fuzz targets are not counted.
#   scripts/coverage.sh
# Writes build/coverage/report/ (HTML, per file and line),
# build/coverage/coverage.txt and build/coverage/coverage.json.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh coverage
cmake --preset coverage >/dev/null
cmake --build --preset coverage
out=build/coverage
# Counts from an earlier run would add up with this one's.
find "$out" -name '*.gcda' -delete
status=0
ctest --preset coverage -j2 || status=1
# Notes of objects that the build no longer makes (a source or target that
# is gone) carry stale line numbers that gcovr would merge with live ones.
ninja -C "$out" -t targets all | sed -n 's/\.o: .*/.o/p' | sort >"$out/objects.txt"
find "$out" -name '*.gcno' | while read -r notes; do
  object=${notes#"$out"/}
  grep -qxF "${object%.gcno}.o" "$out/objects.txt" || rm -f "$notes" "${notes%.gcno}.gcda"
done

mkdir -p "$out/report"
# Branches that only the compiler's exception paths or dead code make are
# left out: they are no decision of the code.
# Counts are searched for in the coverage build only: other builds hold
# links out of the tree (Wine's z: drive is the whole file system).
gcovr --root . --object-directory "$out" "$out" \
  --filter 'core/' --filter 'k4x/' --filter 'library/' --filter 'formats/' --filter 'tdf/' --filter 'common/' --filter 'platform/' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --txt "$out/coverage.txt" --json "$out/coverage.json" \
  --html-details "$out/report/index.html" --print-summary
echo "report: $out/report/index.html, $out/coverage.txt"
[ $status -eq 0 ] || echo "some tests failed: the figures cover what ran" >&2
exit $status
