#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up on a fresh Debian 12 or 13 machine, builds, and runs the whole test suite: the "default"
# presets of CMakePresets.json (build/, RelWithDebInfo, two jobs).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset default
cmake --build --preset default
ctest --preset default
