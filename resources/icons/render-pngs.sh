#!/bin/sh
# Renders the program icon's PNG sizes from quorvane.svg (needs ImageMagick). The PNGs are kept in the
# repository, so the build does not need this.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    convert -background none -density $((96 * size / 64)) quorvane.svg -resize "${size}x${size}" \
        -depth 8 -strip "PNG32:quorvane-$size.png"
done
