#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Regenerates data/jpg/<word>.jpg for every word of data/lista3.txt ..
# data/lista6.txt, drawing each word with the Noto Emoji picture named in
# tools/parole-emoji.tsv (word <TAB> codepoint sequence <TAB> note).
#
# Needs: node and npm (the Noto Emoji set is installed from the npm package
# @iconify-json/noto into a temporary folder), and the Debian packages
#     librsvg2-bin  (rsvg-convert)
#     imagemagick   (convert, montage)
#     fonts-dejavu-core (the words on the contact sheet)
#
# Each picture is the emoji drawing trimmed to its own outline, scaled to fit
# 420 x 420 pixels and centred on a white 480 x 480 JPEG (quality 85).
# The old pictures are replaced only once every new one has been made; a
# picture whose word is no longer in any list is removed.
#
# Last, docs/immagini.jpg is redrawn: every picture with its word under it, in
# list order, twelve to a row, to look the whole set over at a glance.
#
# Environment: NOTO_VERSION picks the package version (default below).
set -euo pipefail

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

NOTO_VERSION=${NOTO_VERSION:-1.2.9}
SIZE=480
DRAWING=420
QUALITY=85

for tool in node npm rsvg-convert convert montage; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make-pictures: '$tool' not found (see the top of $0)" >&2
        exit 1
    fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "make-pictures: installing @iconify-json/noto@$NOTO_VERSION"
npm install --prefix "$tmp/npm" --no-save --no-audit --no-fund --silent \
    "@iconify-json/noto@$NOTO_VERSION" >/dev/null
pkg="$tmp/npm/node_modules/@iconify-json/noto"

lists=(data/lista3.txt data/lista4.txt data/lista5.txt data/lista6.txt)
node tools/make-pictures.mjs "$pkg" tools/parole-emoji.tsv "$tmp/svg" "${lists[@]}"

mkdir -p "$tmp/jpg"
for svg in "$tmp"/svg/*.svg; do
    word=$(basename "$svg" .svg)
    # Render large with transparency, trim to the drawing, then fit and centre.
    rsvg-convert --width $((DRAWING * 2)) --height $((DRAWING * 2)) --keep-aspect-ratio \
        --format png --output "$tmp/$word.png" "$svg"
    convert "$tmp/$word.png" -trim +repage \
        -resize "${DRAWING}x${DRAWING}" \
        -background white -alpha remove -alpha off \
        -gravity center -extent "${SIZE}x${SIZE}" \
        -colorspace sRGB -type TrueColor -strip \
        -sampling-factor 4:2:0 -quality "$QUALITY" \
        "$tmp/jpg/$word.jpg"
    rm -f "$tmp/$word.png"
done

mkdir -p data/jpg
find data/jpg -maxdepth 1 -type f -iname '*.jpg' -delete
mv "$tmp"/jpg/*.jpg data/jpg/
echo "make-pictures: $(find data/jpg -maxdepth 1 -name '*.jpg' | wc -l) pictures in data/jpg"

# The contact sheet, in list order.
words=()
for list in "${lists[@]}"; do
    while IFS= read -r word; do words+=("$word"); done <"$list"
done
labelled=()
for word in "${words[@]}"; do labelled+=(-label "$word" "data/jpg/$word.jpg"); done
montage -font DejaVu-Sans -pointsize 14 "${labelled[@]}" -tile 12x -geometry 120x120+4+4 \
    -background white -quality 85 docs/immagini.jpg
echo "make-pictures: contact sheet docs/immagini.jpg ($(identify -format '%wx%h' docs/immagini.jpg))"
