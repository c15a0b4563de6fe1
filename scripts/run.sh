#!/usr/bin/env bash
# Sets up what is missing, builds the tool and runs it under Wine: on the
# current X display, or on a virtual one started here when there is none.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)"

export WINEPREFIX="${WINEPREFIX:-$root/.cache/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    # Wine's helpers would outlive the display they were started on.
    /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  exec {fd}<>"$fifo"
  rm -f "$fifo"
  Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp &
  xvfb_pid=$!
  read -r -u "$fd" number
  export DISPLAY=":$number"
  echo "run: no X display; started Xvfb on $DISPLAY (pid $xvfb_pid)"
fi

if [ ! -d "$WINEPREFIX" ]; then
  echo "run: making the Wine prefix $WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
fi

echo "run: f2paste is running; close its window (Esc, Alt+F4 or the close button) or press Ctrl+C here to stop it"
/usr/lib/wine/wine64 build/win64/f2paste.exe
