#!/usr/bin/env bash
# Renders the program icon (packaging/icons/dravolo.svg) into the PNG sizes the
# desktop's hicolor theme wants. The PNGs are kept in the repository so a build
# needs no SVG renderer; run this (it needs rsvg-convert, Debian's
# librsvg2-bin) after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" dravolo.svg --output "hicolor/dravolo-${size}.png"
done
# The Windows installer's icon, from the same PNGs (ImageMagick's convert).
if command -v convert >/dev/null; then
  convert hicolor/dravolo-16.png hicolor/dravolo-32.png hicolor/dravolo-48.png hicolor/dravolo-256.png dravolo.ico
fi
