#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the word-list reader and the WAV reader for a bounded time: clang++ with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from the committed corpora of real lists and sounds. The "fuzz" presets
# build only the two fuzz targets. Run by .ci/run after tools/run-tests.sh, which installed the packages.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz
cmake --build --preset fuzz
# New inputs go to a scratch folder; the committed corpus is only read. A crashing input is kept
# in build-fuzz/ (crash-*) to become a regression test.
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro"
"$OLDPWD/build-fuzz/fuzz/fuzz_listaparole" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
    -artifact_prefix="$OLDPWD/build-fuzz/" "$lavoro" "$OLDPWD/fuzz/corpus"
mkdir "$lavoro/wav"
"$OLDPWD/build-fuzz/fuzz/fuzz_wav" -max_total_time="${FUZZ_WAV_SECONDS:-30}" -print_final_stats=1 \
    -artifact_prefix="$OLDPWD/build-fuzz/" "$lavoro/wav" "$OLDPWD/fuzz/corpus-wav"
