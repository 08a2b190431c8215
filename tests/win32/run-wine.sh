#!/bin/bash
# Runs the Windows tests of a 64-bit build under wine64 with a virtual X
# server: a fresh Wine prefix per run, ANSI code page 932 (ja_JP.UTF-8).
# Usage: tests/win32/run-wine.sh [build folder, default build/win64] [gtest arguments...]
set -euo pipefail

build=${1:-build/win64}
shift || true
build=$(cd "$build" && pwd)

# Inside xvfb-run: the prefix and the environment come from the outer run.
if [ "${BRIMVALE_INSIDE_XVFB:-}" = 1 ]; then
  "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  "$WINESERVER" -w
  exec "$WINELOADER" "$build/win32_tests.exe" "$@"
fi

source "$(dirname "$0")/../../tools/wine-env.sh"

# Everything Wine runs in this script shares one X server: the script runs
# itself again inside xvfb-run.
BRIMVALE_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$@"
