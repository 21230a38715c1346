#!/usr/bin/env bash
# Builds the program Tessaro and its command-line program (release; no tests, no
# benchmarks) and starts it on the bundled data folder.
# Any arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")"
. ./deps.sh
tessaro_install_deps
tessaro_build build/release "tessaro tessaro-cli" -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_TESTS=OFF -DTESSARO_BUILD_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show the window on: run it as  xvfb-run -a ./tessaro.sh  (package xvfb) or on a desktop." >&2
  exit 1
fi
exec build/release/bin/tessaro "$@"
