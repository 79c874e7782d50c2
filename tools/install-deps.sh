#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Batticco needs, on Debian 12 (bookworm) or 13 (trixie). With --gioco only what
# building and playing need (tools/play.sh); without it also everything the tests, CI jobs and benchmarks use.
# Safe to run again: apt-get only fetches what is missing.
set -euo pipefail

gioco=(
    # build
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins
    # sounds: the desktop sound server's client library (PulseAudio, or PipeWire's service)
    libpulse-dev
    # the designs' fonts: Arial and Times New Roman resolve to these metric-compatible faces
    fonts-liberation
    # pictures: libjpeg-turbo's decoder, used directly
    libjpeg62-turbo-dev
    # Xlib's keyboard extension: a held key is released once
    libx11-dev
    # the editor: iPhone photos (HEIC) through libheif and its HEVC decoder; Qt's own Italian texts
    libheif-dev libheif-plugin-libde265 qt6-translations-l10n
)

prove=(
    # packaging
    dpkg-dev file appstream desktop-file-utils lintian
    # gio launch starts a menu entry as GLib's menus do (the copy's entry, odd folder names)
    libglib2.0-bin
    # the Debian 13 job builds its system and keeps it compressed (tools/ci.d/50-debian13.sh)
    debootstrap zstd
    # end-to-end tests in a real X server, screen readers' view; xset for the server's auto-repeat
    xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick
    at-spi2-core python3-pyatspi dbus dbus-x11
    # a window manager for the windows' placement, frames and title bars, and wmctrl to ask it things
    openbox wmctrl
    # the game on Wayland: weston, nested in the test's X server, and Qt's Wayland platform plugin
    weston qt6-wayland
    # a desktop's dark colour scheme and font, the way a desktop gives them to Qt programs: qt6ct, and
    # the GTK platform theme GNOME's Qt programs take (Debian's libqt6gui6 recommends it)
    qt6ct qt6-gtk-platformtheme
    # a real sound server for the sounds' end-to-end test, and pactl to see what it plays
    pulseaudio pulseaudio-utils
    # the editor's computer voice for a word (the package only recommends one), and the other synthesiser
    espeak-ng festival festvox-italp16k
    # fuzzing and sanitizers
    clang libclang-rt-dev
    # the code's style (tools/formato.sh --check)
    clang-format
    # benchmarks: Google Benchmark, Xlib with its DAMAGE extension for the start-up timer, djpeg as a baseline
    libbenchmark-dev libx11-dev libxdamage-dev libjpeg-turbo-progs
    # checks on the shipped sounds and word lists
    python3
    # HEIC photos made for the editor's tests: heif-enc and its HEVC encoder
    libheif-examples libheif-plugin-x265
)

# The arrays name packages as Debian 13 does. Where an older release calls one otherwise, the table
# nomi_<its VERSION_CODENAME> gives that name (an empty one: the release does without the package).
declare -A nomi_bookworm=(
    [fonts-liberation]=fonts-liberation2 # Liberation 2 (metric-compatible with Arial, Times New Roman)
    [libheif-plugin-libde265]= # libheif 1.15 has its HEVC decoder and encoder built in
    [libheif-plugin-x265]=
)

packages=("${gioco[@]}")
[ "${1:-}" = --gioco ] || packages+=("${prove[@]}")

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [[ "$(declare -p "nomi_$release" 2>/dev/null)" == "declare -A"* ]]; then
    declare -n nomi=nomi_$release
    for i in "${!packages[@]}"; do
        [ -v "nomi[${packages[$i]}]" ] && packages[$i]=${nomi[${packages[$i]}]}
    done
fi

missing=()
for p in "${packages[@]}"; do
    [ -n "$p" ] || continue
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
