#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up on a fresh Debian 12 or 13 machine, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --gioco
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
exec build/batticco/batticco
