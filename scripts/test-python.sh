#!/usr/bin/env bash
# Installs the Python package from this clone into a fresh virtual
# environment the way a user does offline (no build isolation: setuptools
# from the system), then runs its tests and the README's Python example
# against the C interface of a Linux build and the simulated target.
#   scripts/test-python.sh [preset]   (default linux; the build must exist)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/${1:-linux}/bin
venv=$root/build/${1:-linux}/venv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash scripts/install-deps.sh python
# The package's enums are the C header's.
python3 python/generate_constants.py --check
rm -rf "$venv"
/usr/bin/python3 -m venv --system-site-packages "$venv"
"$venv/bin/pip" install --quiet --disable-pip-version-check --no-build-isolation --no-index ./python

# shellcheck source=scripts/python-env.sh
source scripts/python-env.sh
k4x_python_env "$bin"
# From another folder, so that the installed package is the one imported.
(cd "$work" && "$venv/bin/python" -m pytest -q -p no:cacheprovider "$root/python/tests")

mkdir "$work/example" "$work/profile"
sed -n '/^```python$/,/^```$/{/^```/d;p}' README.md >"$work/example/example.py"
out=$(cd "$work/example" && USERPROFILE=$work/profile "$venv/bin/python" example.py)
echo "$out"
grep -q "^C6x_core9 runs apps/core9.out$" <<<"$out" || { echo "test-python: the README's example failed" >&2; exit 1; }
