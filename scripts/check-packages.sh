#!/usr/bin/env bash
# Installs each package the way a user does, into an empty folder, and runs
# what it holds: k4xtrace against the installed library and the simulated
# target (the Windows one under Wine), the example hosts in C++ and C built
# against the installed SDK, and on Linux the README's Python example from
# the wheel in the package. Uses the trees that test-all.sh has built already.
#   scripts/check-packages.sh [linux] [windows]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=$(sed -n 's/^project(K4xTraceConfig VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check-packages: $*" >&2; exit 1; }

# Unpacks the package into an empty folder and prints the folder it made.
unpack() {
  local into=$work/$1
  mkdir -p "$into"
  (cd "$into" && cmake -E tar xf "$2")
  echo "$into"/*
}

# What runs the installed programs: nothing on Linux, Wine for Windows.
run_linux() { "$@"; }
run_windows() { "$root/cmake/wine-run.sh" "$@"; }

check_contents() {
  local package=$1
  # The C interface's import library (*.dll.a) is meant for linkers.
  if find "$package" -name '*_tests*' -o -name '*.a' ! -name '*.dll.a' -o -name '*.pdb' | grep -q .; then
    fail "test programs or build leftovers in $(basename "$package")"
  fi
}

check_linux() {
  local package libdir
  bash scripts/wheel.sh linux >/dev/null
  (cd build/linux && cpack >/dev/null)
  bash scripts/deb.sh >/dev/null
  check_debs
  package=$(unpack linux "$(ls "$root"/build/linux/packages/*.tar.gz)")
  libdir=$(dirname "$(find "$package" -name 'libK4xTraceCfg.so.*.*')")
  check_contents "$package"
  # No installed file may point into the build tree.
  if find "$package" -type f \( -name '*.so*' -o -path '*/bin/*' \) -exec readelf -d {} + 2>/dev/null |
     grep -E 'R(UN)?PATH' | grep -q "$root"; then
    fail "an installed file keeps a build-tree RUNPATH"
  fi
  [ -f "$package/share/man/man1/k4xtrace.1" ] && [ -f "$package/share/bash-completion/completions/k4xtrace" ] ||
    fail "man page or bash completion missing"
  run_installed linux "$package" "$package/bin/k4xtrace" "$work/linux-profile" "$package/lib/k4xtrace/simulated-target"
  [ "$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --modversion k4xtracecfg)" = "$version" ] ||
    fail "pkg-config reports another version"
  cmake -S examples/host -B "$work/host-linux" -G Ninja -DCMAKE_PREFIX_PATH="$package" >/dev/null
  cmake --build "$work/host-linux" >/dev/null
  HOME=$work/linux-profile USERPROFILE=$work/linux-profile "$work/host-linux/k4x_host_example" |
    grep -qx "Trace Mode = 3" || fail "the example host failed on Linux"
  build_c_host linux -DCMAKE_PREFIX_PATH="$package"
  check_c_host linux "$package" "$work/c-host-linux/k4x_c_host"
  # The pkg-config file builds the same program.
  read -ra flags < <(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs k4xtrace-c)
  cc -o "$work/c-host-pc" examples/c-host/main.c "${flags[@]}"
  LD_LIBRARY_PATH=$libdir check_c_host linux "$package" "$work/c-host-pc"
  check_wheel "$package"
}

# The Debian packages, unpacked together into an empty folder: no file in
# two of them, the man pages compressed, and k4xtrace from them runs.
check_debs() {
  local deb=$work/deb twice
  twice=$(for pkg in build/linux/packages/*.deb; do dpkg-deb -c "$pkg"; done | awk '$1 !~ /^d/ {print $6}' | sort | uniq -d)
  [ -z "$twice" ] || fail "files in more than one Debian package: $twice"
  for pkg in build/linux/packages/*.deb; do dpkg-deb -x "$pkg" "$deb"; done
  [ -f "$deb/usr/share/man/man1/k4xtrace.1.gz" ] && [ -f "$deb/usr/share/man/man1/k4xtdf.1.gz" ] ||
    fail "the Debian packages lack the compressed man pages"
  run_installed linux "$deb/usr" "$deb/usr/bin/k4xtrace" "$work/linux-profile" "$deb/usr/lib/k4xtrace/simulated-target"
}

# The C host built against the installed SDK.
build_c_host() {
  local target=$1
  shift
  cmake -S examples/c-host -B "$work/c-host-$target" -G Ninja "$@" >/dev/null
  cmake --build "$work/c-host-$target" >/dev/null
}

# The C host against the installed simulated target; it answers the
# library's question with its own file.
check_c_host() {
  local target=$1 package=$2 program=$3 out
  if [ "$target" = linux ]; then
    out=$(HOME=$work/linux-profile USERPROFILE=$work/linux-profile PATH=$package/lib/k4xtrace/simulated-target:$PATH \
      "$program" "$program")
  else
    out=$(WINEPATH="Z:$package;Z:$package/simulated-target" run_windows "$program" "Z:$program" | tr -d '\r')
  fi
  grep -qx "C6x_core9 runs .*$(basename "$program")" <<<"$out" || fail "the C host failed on $target: $out"
}

# The wheel in the package installs offline into a fresh virtual
# environment and runs the README's Python example with what it bundles.
check_wheel() {
  local package=$1 out
  /usr/bin/python3 -m venv --system-site-packages "$work/venv"
  "$work/venv/bin/pip" install --quiet --disable-pip-version-check --no-index --no-deps \
    "$package"/share/k4xtrace/python/*.whl
  mkdir "$work/python" "$work/python-profile"
  sed -n '/^```python$/,/^```$/{/^```/d;p}' README.md >"$work/python/example.py"
  out=$(cd "$work/python" && env -u K4XTRACE_C_LIBRARY USERPROFILE=$work/python-profile \
    PATH=$package/lib/k4xtrace/simulated-target:$PATH "$work/venv/bin/python" example.py)
  grep -qx "C6x_core9 runs apps/core9.out" <<<"$out" || fail "the wheel's Python example failed: $out"
}

check_windows() {
  local package
  bash scripts/wheel.sh windows >/dev/null
  (cd build/windows && cpack >/dev/null)
  package=$(unpack windows "$(ls "$root"/build/windows/packages/*.zip)")
  check_contents "$package"
  for file in K4xTraceCfg.dll vexa.dll k4xtrace.exe k4xtdf.exe include/DeviceConfigManager.h LICENSE README.md \
              simulated-target/TraceFactory.dll simulated-target/NAVRO.dll K4xTraceC.dll include/k4xtrace_c.h \
              lib/libK4xTraceC.dll.a python/k4xtrace-$version-py3-none-win_amd64.whl; do
    [ -f "$package/$file" ] || fail "$file missing from the zip"
  done
  # One Wine prefix for all runs: the test build's.
  export WINEPREFIX=$root/build/windows/wineprefix
  run_installed windows "$package" "$package/k4xtrace.exe" "Z:$work/windows-profile" "Z:$package/simulated-target"
  cmake -S examples/host -B "$work/host-windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$package" >/dev/null
  cmake --build "$work/host-windows" >/dev/null
  run_windows "$work/host-windows/k4x_host_example.exe" "Z:$package/K4xTraceCfg.dll" | tr -d '\r' |
    grep -qx "Trace Mode = 3" || fail "the example host failed under Wine"
  build_c_host windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$package"
  check_c_host windows "$package" "$work/c-host-windows/k4x_c_host.exe"
}

# k4xtrace from the package: its version, a saved setting, the live target
# and a check of the settings file it wrote.
run_installed() {
  local target=$1 package=$2 tool=$3 profile=$4 sim=$5 out
  mkdir -p "$work/$target-profile"
  out=$(run_$target "$tool" --version | tr -d '\r')
  grep -qx "library $version (.*)" <<<"$out" || fail "$target: k4xtrace --version: $out"
  run_$target "$tool" --profile "$profile" set K4x_DSP0 "Trace Mode=2" >/dev/null
  out=$(run_$target "$tool" --profile "$profile" --live "$sim" live K4x_DSP0 K4x_DSP1 | tr -d '\r')
  grep -q "apps/K4x_DSP1.out" <<<"$out" || fail "$target: live target: $out"
  run_$target "$tool" --profile "$profile" check "$profile/.ZR-trace/settings/K4x_DSP0-TCfg.txt" >/dev/null ||
    fail "$target: check of a written settings file"
  echo "$target package: k4xtrace $version, live target and example hosts work from $(basename "$package")"
}

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(linux windows)
for target in "${targets[@]}"; do check_$target; done
