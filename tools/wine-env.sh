# Sourced by the scripts that run the 64-bit Windows build under Wine: a fresh
# prefix in a temporary folder, ANSI code page 932 (ja_JP.UTF-8), no debug
# output, and wine64 itself (this kernel cannot start the 32-bit loader).
# Sets $wine, $wineserver and $work; the folder is removed on exit, together
# with an Xvfb whose pid the script puts into $xvfb_pid. wine_boot prepares
# the prefix.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

work=$(mktemp -d "/tmp/${wine_work_name:-brimvale-wine}.XXXXXX")
xvfb_pid=
wine_cleanup() {
  WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap wine_cleanup EXIT

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

# Starts an Xvfb of its own for the screenshots and points DISPLAY at it.
wine_xvfb() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
  xvfb_pid=$!
  export DISPLAY=$display
  sleep 1
}

wine_boot() {
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w
}
