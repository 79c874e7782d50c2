#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates the game's PNG pictures from their SVG sources in resources/.
# The PNGs are committed, so this is only needed after editing an SVG.
# Needs rsvg-convert (Debian package librsvg2-bin) and, for pictures without
# transparency, ImageMagick's convert. Runs from any directory.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
res="$root/resources"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render-resources: rsvg-convert not found (apt-get install librsvg2-bin)" >&2
    exit 1
fi

# render SVG SIZE OUTPUT
render() {
    local svg="$1" size="$2" out="$3"
    mkdir -p "$(dirname "$out")"
    # Write to a temporary file first so a failed render never leaves a broken PNG behind.
    local tmp="$out.tmp.$$"
    if ! rsvg-convert --format=png --width="$size" --height="$size" \
            --output="$tmp" "$svg"; then
        rm -f "$tmp"
        echo "render-resources: failed to render $svg at ${size}px" >&2
        exit 1
    fi
    # rsvg-convert writes a fully opaque picture as RGB; the game's resources are
    # all RGBA, so widen those (PNG colour type is byte 25 of the file, 6 = RGBA).
    if [ "$(od -An -tu1 -j25 -N1 "$tmp" | tr -d ' ')" != 6 ]; then
        if ! command -v convert >/dev/null 2>&1; then
            rm -f "$tmp"
            echo "render-resources: ImageMagick convert is needed to write $out as RGBA" >&2
            exit 1
        fi
        if ! convert "$tmp" -strip -define png:exclude-chunks=date,time \
                -define png:color-type=6 "PNG32:$tmp"; then
            rm -f "$tmp"
            echo "render-resources: failed to convert $out to RGBA" >&2
            exit 1
        fi
    fi
    mv -f "$tmp" "$out"
    echo "  $out"
}

for name in icona si no freccia lampada; do
    render "$res/$name.svg" 32 "$res/$name.png"
    render "$res/$name.svg" 64 "$res/$name@2x.png"
done

# Desktop icon theme: the bright icon at every usual size, plus the SVG itself.
theme="$res/icons/hicolor"
mkdir -p "$theme/scalable/apps"
cp -f "$res/icona.svg" "$theme/scalable/apps/batticco.svg"
echo "  $theme/scalable/apps/batticco.svg"
for n in 16 22 24 32 48 64 128 256; do
    render "$res/icona.svg" "$n" "$theme/${n}x${n}/apps/batticco.png"
done
