#!/bin/bash
# Runs the Windows tests of a 64-bit build under wine64 with a virtual X
# server: a fresh Wine prefix per run, ANSI code page 932 (ja_JP.UTF-8).
# Usage: tests/win32/run-wine.sh [build folder, default build/win64] [gtest arguments...]
set -euo pipefail

build=${1:-build/win64}
shift || true
build=$(cd "$build" && pwd)
wine=/usr/lib/wine/wine64       # this kernel cannot start 32-bit Linux programs: never the 32-bit loader
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

if [ "${BRIMVALE_INSIDE_XVFB:-}" = 1 ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w
  exec "$wine" "$build/win32_tests.exe" "$@"
fi

work=$(mktemp -d /tmp/brimvale-wine.XXXXXX)
cleanup() {
  WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Wine takes its code page from the C library's locale; build ja_JP.UTF-8 for
# this run when the system has not installed it.
if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  mkdir -p "$work/locale"
  localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8"
  export LOCPATH="$work/locale"
fi

unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8
export WINELOADER=$wine WINESERVER=$wineserver WINEDLLOVERRIDES="mscoree,mshtml="

# Everything Wine runs in this script shares one X server: the script runs
# itself again inside xvfb-run.
if [ "${BRIMVALE_INSIDE_XVFB:-}" != 1 ]; then
  BRIMVALE_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$@"
  exit $?
fi
