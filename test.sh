#!/usr/bin/env bash
# Builds Tessaro with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as
# errors, with every test and benchmark program, and runs every test (the benchmarks
# are only compiled). Then builds the Debian package in a release build, installs it
# on this machine and checks the installed programs (packaging/check.sh). The exit
# status is the verdict of both.
set -euo pipefail
cd "$(dirname "$0")"
. ./deps.sh
tessaro_install_deps python3-dbfread python3-openpyxl poppler-utils libglpk-dev libbenchmark-dev \
  desktop-file-utils appstream dpkg-dev file man-db groff-base bsdextrautils
# A compiler cache, when there is one, makes the second build of each source
# cheap, in this folder and in other copies of the sources.
if [ -d /usr/lib/ccache ]; then export PATH=/usr/lib/ccache:$PATH CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}; fi
tessaro_build build/sanitize all -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON -DTESSARO_WERROR=ON \
  -DTESSARO_BUILD_TESTS=ON -DTESSARO_BUILD_BENCH=ON

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build/sanitize --output-on-failure -j "$(nproc)"

packaging/check.sh build/package
