#!/bin/bash
# Takes screenshots of the Windows program under wine64 on a virtual X
# server: the main window with a list, and the Progress view during a run of
# the stand-in encoder. Usage: tools/win32_screenshots.sh [build/win64] [output folder]
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
out=$(mkdir -p "${2:-build/win64/screenshots}" && cd "${2:-build/win64/screenshots}" && pwd)
wine_work_name=brimvale-shots
source "$(dirname "$0")/wine-env.sh"

wine_xvfb

wine_boot

# The program beside its settings file and the stand-in encoder.
app="$work/app"
mkdir -p "$app"
cp "$build/brimvale.exe" "$build/test_encoder.exe" "$app/"
printf '[Setting]\r\nOggPath=test_encoder.exe\r\n[List]\r\nCount=3\r\n0=C:\\音楽\\夏の歌.wav\r\n1=C:\\音楽\\ソナタ第1番.mp3\r\n2=C:\\音楽\\表題曲.wav\r\n' |
  iconv -f UTF-8 -t CP932 > "$app/brimvale.ini"

export BRIMVALE_TEST_SLEEP_MS=60000
# A Wine desktop window draws the title bar (caption, icon, buttons) itself.
(cd "$app" && "$wine" explorer /desktop=brimvale,800x600 brimvale.exe >/dev/null 2>&1 &)
for _ in $(seq 1 60); do
  xdotool search --name 'brimvale' >/dev/null 2>&1 && break
  sleep 0.5
done
sleep 5
import -window root "$out/main-window.png"

# Start is the default button and has the focus: Enter starts the run.
win=$(xdotool search --name 'brimvale' | head -1)
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool key Return
sleep 3
import -window root "$out/progress-view.png"
echo "$out/main-window.png"
echo "$out/progress-view.png"
