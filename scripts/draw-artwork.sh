#!/bin/sh
# Renders the artwork in resources/art (our own SVG drawings) to the PNG files the program
# embeds (every drawing but the icon becomes resources/pictures/<name>.png), the icon in
# the sizes the desktops take, and the Windows icon file from the icon's PNGs. Run after changing a drawing
# (needs rsvg-convert from librsvg2-bin and ImageMagick's convert); the results are
# committed, so building never needs either.
set -eu
cd "$(dirname "$0")/../resources"
for drawing in art/*.svg; do
  name=$(basename "$drawing" .svg)
  [ "$name" = icon ] && continue
  rsvg-convert "$drawing" -o "pictures/$name.png"
done
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" art/icon.svg -o "icons/freqsmith-$size.png"
done
cp art/icon.svg icons/freqsmith.svg
# The sizes Windows picks from; the largest is stored compressed, as Windows allows.
convert icons/freqsmith-16.png icons/freqsmith-32.png icons/freqsmith-48.png \
  icons/freqsmith-64.png icons/freqsmith-256.png icons/freqsmith.ico
