#!/bin/bash
# Runs the Windows settings benchmark of a 64-bit build under wine64 in a
# fresh Wine prefix (ANSI code page 932, as the tests use).
# Usage: bench/win32/run-wine.sh [build folder, default build/win64] [list sizes...]
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
shift || true
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

work=$(mktemp -d /tmp/brimvale-bench-wine.XXXXXX)
cleanup() {
  WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  mkdir -p "$work/locale"
  localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8"
  export LOCPATH="$work/locale"
fi
unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE DISPLAY
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8
export WINELOADER=$wine WINESERVER=$wineserver WINEDLLOVERRIDES="mscoree,mshtml="

"$wine" wineboot -i >/dev/null 2>&1 || true
"$wineserver" -w
"$wine" "$build/brimvale_bench_win32.exe" "$@"
