#!/usr/bin/env bash
# Installs the Debian packages that the builds need, when they are missing.
# Several kinds may be named at once.
#   scripts/install-deps.sh linux     native build and tests
#   scripts/install-deps.sh windows   also mingw-w64 and Wine
#   scripts/install-deps.sh clang     also clang 14 (the clang preset)
#   scripts/install-deps.sh python    also Python with venv, setuptools, wheel and pytest (python/)
#   scripts/install-deps.sh fuzz      also clang 14 and libFuzzer (scripts/fuzz.sh)
#   scripts/install-deps.sh bench     also Google Benchmark, spdlog, Python, valgrind, strace (bench/)
#   scripts/install-deps.sh coverage  also gcovr (scripts/coverage.sh)
#   scripts/install-deps.sh mutants   also Python (scripts/mutants.sh)
#   scripts/install-deps.sh package   also debhelper (scripts/deb.sh)
#   scripts/install-deps.sh checkers  also lintian, mypy, shellcheck and clang-tidy 14 (scripts/check-tools.sh)
set -euo pipefail

# libc-l10n: the system's German messages, under which the loader's test
# shows that a translated dlerror text does not stop the library search.
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev pkg-config libc-l10n)
for kind in "${@:-linux}"; do
  case "$kind" in
    # wine64 alone has no /usr/bin/wine; googletest holds the sources that the
    # cross build compiles.
    windows) packages+=(g++-mingw-w64-x86-64-posix wine wine64 googletest) ;;
    clang) packages+=(clang-14) ;;
    # libclang-rt-14-dev carries the sanitizer and fuzzer runtimes that
    # -fsanitize=fuzzer,address,undefined links.
    fuzz) packages+=(clang-14 libclang-rt-14-dev libfuzzer-14-dev) ;;
    # spdlog is only the benchmarks' yardstick for the logger.
    bench) packages+=(libbenchmark-dev libspdlog-dev python3 valgrind strace) ;;
    coverage) packages+=(gcovr) ;;
    mutants) packages+=(python3) ;;
    package) packages+=(debhelper dpkg-dev) ;;
    checkers) packages+=(lintian mypy shellcheck clang-tidy-14) ;;
    # The package installs offline from a clone: setuptools and wheel come
    # from here, not from a package index.
    python) packages+=(python3 python3-venv python3-setuptools python3-wheel python3-pytest) ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
