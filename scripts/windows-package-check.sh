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

# Text typed into the main window's filter field (Ctrl+F) must appear: under
# Wine, Qt's GDI font engine draws none in a line edit. Typing adds near-black
# pixels where there were none.
typed_text_shows() {
  local window=$1 before after
  sleep 3  # the first paint
  before=$(python3 "$here/grab-window.py" "$window" --dark-pixels)
  xdotool windowfocus --sync "$window" key ctrl+f type --delay 30 "WWWWWWWWWWWWWWWW"
  sleep 2
  after=$(python3 "$here/grab-window.py" "$window" --dark-pixels)
  if [ $((after - before)) -lt 150 ]; then
    echo "FAIL: text typed into dravolo.exe's filter field does not show ($before dark pixels before, $after after)" >&2
    return 1
  fi
  echo "dravolo.exe: text typed into the filter field shows ($((after - before)) more dark pixels)"
}

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
  if [ "$program" = dravolo.exe ] && ! typed_text_shows "$window"; then
    "$wineserver" -k >/dev/null 2>&1 || true
    return 1
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
