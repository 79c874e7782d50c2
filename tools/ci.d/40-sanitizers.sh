#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole test suite again, on a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer
# (the "asan" preset of CMakePresets.json): any memory error or undefined behaviour fails the job.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/install-deps.sh
cmake --preset asan
cmake --build build-asan -j2
# Leak checking stays on: Qt, fontconfig and the sound back end leave nothing LeakSanitizer reports
# once the program has closed its windows, so any leak reported is ours.
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-asan
ctest --output-on-failure -j2
