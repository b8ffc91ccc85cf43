#!/usr/bin/env sh
# Draws an SVG at the sizes Windows shows a program's icon in (lists, Explorer, Alt+Tab, large
# tiles) into one .ico file:  make-ico.sh ICON.svg OUT.ico
# rsvg-convert draws each size; icotool packs them, the largest as PNG as Windows expects.
set -eu
svg="$1"
ico="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 24 32 48 64 256; do
    rsvg-convert -w "$size" -h "$size" -o "$tmp/$size.png" "$svg"
done
icotool -c -o "$ico" "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" "$tmp/64.png" \
    -r "$tmp/256.png"
