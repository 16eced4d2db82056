#!/usr/bin/env bash
# Regenerates the pictures in docs/screenshots from the screenshot programs of
# the dev build, on a 1366 x 768 screen at 96 dpi under Xvfb (or the display
# there is). Build first: cmake --build --preset dev
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
bin=$PWD/build/dev/tests
if [ -z "${DISPLAY:-}" ] && [ "${DRAVOLO_SCREENSHOTS_XVFB:-}" != 1 ]; then
  DRAVOLO_SCREENSHOTS_XVFB=1 exec xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" "$0" "$out"
fi
"$bin/shell_ui_screenshots" "$out"
"$bin/options_ui_screenshots" "$out"
"$bin/memcards_ui_screenshot" "$out/memcards_page.png"
"$bin/tool_ui_screenshots" "$out"
"$bin/optionslib_screenshot_host" "$PWD/build/dev/optionslib/KestrineStuff.dll" "$out"
echo "pictures in $out"
