#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Synthesises the game's sounds into data/suoni/:
#   si1.wav .. si4.wav  four short, cheerful "yes" sounds for a right letter
#   no.wav              one gentle falling "uh-oh" for a wrong letter
# All are 16-bit PCM mono WAV at 44100 Hz, under one second, faded in and out
# so they do not click, and matched by loudness (RMS, not peak): the "yes"
# sounds at -16 dBFS, the "no" 2.5 dB softer, so it never scolds but is still
# heard. The "no" keeps its energy above 300 Hz, where laptop and tablet
# speakers play: low notes vanish on them.
#
# Needs the Debian package sox.
set -euo pipefail

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

if ! command -v sox >/dev/null 2>&1; then
    echo "make-sounds: 'sox' not found (apt-get install sox)" >&2
    exit 1
fi

RATE=44100
LOUD_SI=-16
LOUD_NO=-18.5
out=data/suoni
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Runs sox in repeatable mode with the common output format.
sx() { sox -R -V1 "$@"; }

# note <file> <seconds> <frequency> <fade-out> [extra synth voices...]
# A sine tone with its octave softly on top, an 8 ms rounded attack and a
# fade-out over <fade-out> seconds (logarithmic, like a struck bell).
note() {
    local file=$1 len=$2 freq=$3 fadeout=$4
    sx -n -r $RATE "$file" synth "$len" sine "$freq" sine "$(awk -v f="$freq" 'BEGIN { print f * 2 }')" \
        remix 1v0.8,2v0.2 fade q 0.008 fade l 0 "$len" "$fadeout"
}

# place <in> <out> <delay>: the sound delayed by <delay> seconds.
place() { sx "$1" "$2" pad "$3"; }

# finish <out> <rms-dBFS> <inputs...>: mixes the inputs, fades the edges and
# brings the result to the given RMS level.
finish() {
    local dest=$1 level=$2
    shift 2
    if [ $# -gt 1 ]; then
        sx -m "$@" -r $RATE -c 1 -b 16 "$tmp/mix.wav"
    else
        sx "$1" -r $RATE -c 1 -b 16 "$tmp/mix.wav"
    fi
    sx "$tmp/mix.wav" "$tmp/faded.wav" fade q 0.003 -0 0.03
    local rms gain
    rms=$(sx "$tmp/faded.wav" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
    gain=$(awk -v t="$level" -v r="$rms" 'BEGIN { printf "%.2f", t - r }')
    sx "$tmp/faded.wav" -b 16 "$dest" gain "$gain"
    # Loudness matching must not clip: every sound keeps its peak under -1 dBFS.
    local peak
    peak=$(sx "$dest" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
    if awk -v p="$peak" 'BEGIN { exit !(p > -1) }'; then
        echo "make-sounds: $dest peaks at $peak dBFS, too loud for $level dBFS RMS" >&2
        exit 1
    fi
}

mkdir -p "$out"

# si1: a quick rising arpeggio C5 E5 G5 C6.
note "$tmp/a1.wav" 0.30 523.25 0.25
note "$tmp/a2.wav" 0.30 659.25 0.25
note "$tmp/a3.wav" 0.30 783.99 0.25
note "$tmp/a4.wav" 0.45 1046.50 0.40
place "$tmp/a2.wav" "$tmp/a2d.wav" 0.09
place "$tmp/a3.wav" "$tmp/a3d.wav" 0.18
place "$tmp/a4.wav" "$tmp/a4d.wav" 0.27
finish "$out/si1.wav" $LOUD_SI "$tmp/a1.wav" "$tmp/a2d.wav" "$tmp/a3d.wav" "$tmp/a4d.wav"

# si2: music-box bells, G6 E6 C7, each ringing on under the next.
note "$tmp/b1.wav" 0.55 1567.98 0.53
note "$tmp/b2.wav" 0.55 1318.51 0.53
note "$tmp/b3.wav" 0.60 2093.00 0.58
place "$tmp/b2.wav" "$tmp/b2d.wav" 0.12
place "$tmp/b3.wav" "$tmp/b3d.wav" 0.24
finish "$out/si2.wav" $LOUD_SI "$tmp/b1.wav" "$tmp/b2d.wav" "$tmp/b3d.wav"

# si3: "ta-da": a short G major chord, then a held C major chord.
sx -n -r $RATE "$tmp/ta.wav" synth 0.14 triangle 392.00 triangle 493.88 triangle 587.33 \
    remix - fade q 0.005 0.14 0.05
sx -n -r $RATE "$tmp/da.wav" synth 0.60 triangle 523.25 triangle 659.25 triangle 783.99 triangle 1046.50 \
    remix - tremolo 6 20 fade q 0.01 0.60 0.30
place "$tmp/da.wav" "$tmp/dad.wav" 0.17
finish "$out/si3.wav" $LOUD_SI "$tmp/ta.wav" "$tmp/dad.wav"

# si4: a rising whoop that ends on a little sparkle.
sx -n -r $RATE "$tmp/w.wav" synth 0.40 sine 350/1400 sine 700/2800 \
    remix 1v0.8,2v0.2 fade q 0.02 0.40 0.06
note "$tmp/sp.wav" 0.35 2093.00 0.33
place "$tmp/sp.wav" "$tmp/spd.wav" 0.36
finish "$out/si4.wav" $LOUD_SI "$tmp/w.wav" "$tmp/spd.wav"

# no: a gentle "uh-oh", two soft notes going down a major third (D5 then
# B-flat 4), each with a few quiet harmonics so a small speaker renders it,
# rounded attacks and a slow fade so it does not scold.
soft() {
    local file=$1 len=$2 freq=$3 fadeout=$4
    local f2 f3
    f2=$(awk -v f="$freq" 'BEGIN { print f * 2 }')
    f3=$(awk -v f="$freq" 'BEGIN { print f * 3 }')
    sx -n -r $RATE "$file" synth "$len" sine "$freq" sine "$f2" sine "$f3" \
        remix 1v0.75,2v0.2,3v0.08 fade h 0.03 "$len" "$fadeout"
}
soft "$tmp/uh.wav" 0.24 587.33 0.10
soft "$tmp/oh.wav" 0.45 466.16 0.32
place "$tmp/oh.wav" "$tmp/ohd.wav" 0.26
sx -m "$tmp/uh.wav" "$tmp/ohd.wav" "$tmp/no-raw.wav"
sx "$tmp/no-raw.wav" "$tmp/no-soft.wav" lowpass 2500
finish "$out/no.wav" $LOUD_NO "$tmp/no-soft.wav"

for f in "$out"/si1.wav "$out"/si2.wav "$out"/si3.wav "$out"/si4.wav "$out"/no.wav; do
    printf 'make-sounds: %s  %ss\n' "$f" "$(soxi -D "$f")"
done
