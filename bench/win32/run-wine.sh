#!/bin/bash
# Runs the Windows settings benchmark of a 64-bit build under wine64 in a
# fresh Wine prefix (ANSI code page 932, as the tests use).
# Usage: bench/win32/run-wine.sh [build folder, default build/win64] [list sizes...]
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
shift || true
wine_work_name=brimvale-bench-wine
source "$(dirname "$0")/../../tools/wine-env.sh"
unset DISPLAY
wine_boot
"$wine" "$build/brimvale_bench_win32.exe" "$@"
