#!/bin/sh
# Renders the artwork in resources/art (our own SVG drawings) to the PNG files the program
# embeds. Run after changing a drawing (needs rsvg-convert from librsvg2-bin); the PNG
# files are committed, so building never needs it.
set -eu
cd "$(dirname "$0")/../resources"
for name in product psu author logo_amd logo_intel logo_cyrix link; do
  rsvg-convert "art/$name.svg" -o "pictures/$name.png"
done
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" art/icon.svg -o "icons/freqsmith-$size.png"
done
cp art/icon.svg icons/freqsmith.svg
