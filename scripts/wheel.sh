#!/usr/bin/env bash
# Makes the release wheel of a built tree: the pure-Python package with the
# C interface, the configuration library and the tools library it imports
# in the package's folder (taken from an install of the tree, so that they
# find each other there), tagged for their system. Writes it into
# build/<preset>/wheel/, from where the packages install it.
#   scripts/wheel.sh linux|windows
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
major=$(sed -n 's/^project(K4xTraceConfig VERSION \([0-9]*\)\..*/\1/p' CMakeLists.txt)
case $preset in
  linux) tag=linux_x86_64 libraries=("libK4xTraceC.so.$major" "libK4xTraceCfg.so.$major" "libvexa.so.$major") ;;
  windows) tag=win_amd64 libraries=(K4xTraceC.dll K4xTraceCfg.dll vexa.dll) ;;
  *) echo "usage: $0 linux|windows" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash scripts/install-deps.sh python
cmake --install "build/$preset" --prefix "$work/install" --strip >/dev/null
# The pip of a virtual environment (python3-venv brings it) with the system's setuptools and wheel.
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
"$work/venv/bin/pip" wheel --quiet --disable-pip-version-check --no-build-isolation --no-deps --no-index \
  -w "$work/pure" ./python
/usr/bin/python3 -m wheel unpack -d "$work/unpacked" "$work"/pure/*.whl >/dev/null
package=$(echo "$work"/unpacked/*)
# Each library where the install put it (lib/<multiarch>/ or the top folder).
for library in "${libraries[@]}"; do
  cp -L "$(find "$work/install" -name "$library" -print -quit)" "$package/k4xtrace/"
done
sed -i -e 's/^Root-Is-Purelib: true/Root-Is-Purelib: false/' -e "s/^Tag: py3-none-any/Tag: py3-none-$tag/" \
  "$package"/*.dist-info/WHEEL
rm -rf "build/$preset/wheel" && mkdir "build/$preset/wheel"
/usr/bin/python3 -m wheel pack -d "build/$preset/wheel" "$package" >/dev/null
echo "wheel: $(ls "build/$preset/wheel"/*.whl)"
