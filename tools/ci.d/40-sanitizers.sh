#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A Debug build with AddressSanitizer and UndefinedBehaviorSanitizer (the "asan" presets of
# CMakePresets.json) runs the unit and robustness suites and the end-to-end tests labelled
# "sanitizzatori": any memory error or undefined behaviour fails the job. The rest of the end-to-end
# tests check what the windows look like, which the normal build already did.
# Run by .ci/run after tools/run-tests.sh, which installed the packages.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset asan
cmake --build --preset asan
# Leak checking stays on (the preset sets ASAN_OPTIONS): Qt, fontconfig and the sound back end leave
# nothing LeakSanitizer reports once the program has closed its windows, so any leak reported is ours.
ctest --preset asan
