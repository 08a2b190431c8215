#!/bin/bash
# Screenshots of the Windows program's dialogs under wine64 on a virtual X
# server: the options dialog, the about box and the folder browser, each
# opened from the main window with the keyboard.
# Usage: tools/win32_dialog_screenshots.sh [build/win64] [output folder]
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
out=$(mkdir -p "${2:-build/win64/screenshots}" && cd "${2:-build/win64/screenshots}" && pwd)
wine_work_name=brimvale-dialogs
source "$(dirname "$0")/wine-env.sh"

wine_xvfb

wine_boot

app="$work/app"
mkdir -p "$app"
cp "$build/brimvale.exe" "$app/"
printf '[Option]\r\nBitRate=3\r\nShellExt=1\r\n' > "$app/brimvale.ini"

(cd "$app" && "$wine" explorer /desktop=brimvale,800x600 brimvale.exe >/dev/null 2>&1 &)
for _ in $(seq 1 60); do
  xdotool search --name 'brimvale' >/dev/null 2>&1 && break
  sleep 0.5
done
sleep 5
win=$(xdotool search --name 'brimvale' | head -1)
xdotool windowfocus --sync "$win" 2>/dev/null || true

# Start has the focus; Tab reaches Options.
xdotool key Tab Return
sleep 3
import -window root "$out/options-dialog.png"
xdotool key Escape
sleep 2
# From Options, two Tabs reach About; Enter on the focused OK closes it.
xdotool key Tab Tab Return
sleep 3
import -window root "$out/about-box.png"
xdotool key Return
sleep 2
# Alt+2 presses the output folder's browse button.
xdotool key alt+2
sleep 4
import -window root "$out/folder-browser.png"
xdotool key Escape
sleep 1
echo "$out/options-dialog.png"
echo "$out/about-box.png"
echo "$out/folder-browser.png"
