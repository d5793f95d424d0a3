#!/usr/bin/env bash
# Makes the Debian packages of the linux build into build/linux/packages/,
# split as packaging/debian says: libk4xtracecfg0, libk4xtracec0 and
# libvexa0 (each named after its library's SONAME), libk4xtracecfg-dev and
# k4xtrace. Builds nothing: run it on a built tree; it makes the wheel that
# the -dev package carries when the tree has none yet.
#   scripts/deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/linux
version=$(sed -n 's/^project(K4xTraceConfig VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$build/debian

bash scripts/install-deps.sh package
compgen -G "$build/wheel/*.whl" >/dev/null || bash scripts/wheel.sh linux >/dev/null

rm -rf "$work"
mkdir -p "$work/k4xtrace"
cp -r packaging/debian "$work/k4xtrace/"
maintainer=$(sed -n 's/^Maintainer: //p' packaging/debian/control)

# The changelog names the version of project(), dated by the last commit.
date=$(git log -1 --format=%aD 2>/dev/null || date -R)
printf 'k4xtrace (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
  "$version" "$version" "$maintainer" "$date" >"$work/k4xtrace/debian/changelog"

# The copyright file in Debian's machine-readable form, with LICENSE's
# holder and text.
{
  echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
  echo "Upstream-Name: k4xtrace"
  echo "Upstream-Contact: $maintainer"
  echo
  echo "Files: *"
  echo "Copyright: $(sed -n 's/^Copyright (c) //p' LICENSE)"
  echo "License: Expat"
  sed -n '/^Permission/,$p' LICENSE | sed -e 's/^$/./' -e 's/^/ /'
} >"$work/k4xtrace/debian/copyright"

if ! (cd "$work/k4xtrace" && K4X_BUILD=$build dpkg-buildpackage --build=binary --no-sign --no-check-builddeps \
        >"$work/build.log" 2>&1); then
  cat "$work/build.log" >&2
  exit 1
fi
mkdir -p "$build/packages"
rm -f "$build/packages"/*.deb
cp "$work"/*.deb "$build/packages/"
ls "$build/packages"/*.deb
