#!/usr/bin/env bash
# Starts dravolo.exe and kestrinetool.exe from C:\Program Files\Dravolo\bin of
# the Wine prefix WINEPREFIX, on the X display there is, and fails unless each
# shows its window within 90 seconds. With a folder as third argument, a
# picture of each window goes there (dravolo.png, kestrinetool.png).
# Called by scripts/test-windows.sh after the ZIP is unpacked there.
#   windows-package-check.sh WINE64 WINESERVER [PICTURE_DIR]
set -euo pipefail
wine64=$1
wineserver=$2
shots=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
bin="$WINEPREFIX/drive_c/Program Files/Dravolo/bin"

# PROGRAM TITLE [ARGUMENT...]: started from its folder.
show() {
  local program=$1 title=$2 window pid
  shift 2
  (cd "$bin" && exec "$wine64" "C:\\Program Files\\Dravolo\\bin\\$program" "$@" >/dev/null 2>&1) &
  pid=$!
  disown "$pid"  # ended by wineserver -k below, which the shell need not report
  if ! window=$(timeout 90 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) ||
     [ -z "$window" ]; then
    echo "FAIL: $program from C:\\Program Files\\Dravolo\\bin shows no window \"$title\"" >&2
    "$wineserver" -k >/dev/null 2>&1 || true
    return 1
  fi
  echo "$program from C:\\Program Files\\Dravolo\\bin: window \"$title\" shown"
  if [ -n "$shots" ]; then
    sleep 3  # the first paint
    mkdir -p "$shots"
    python3 "$here/grab-window.py" "$window" "$shots/${program%.exe}.png"
  fi
  "$wineserver" -k >/dev/null 2>&1 || true
  "$wineserver" -w >/dev/null 2>&1 || true
}

status=0
show dravolo.exe "Dravolo" || status=1
# Without arguments the tool ends at once, as ePSXe's own call expects;
# "XXX" opens the dialog on the active settings.
show kestrinetool.exe "Change ePSXe configuration" XXX || status=1
exit $status
