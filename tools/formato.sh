#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The C++ files in the style of .clang-format. Without arguments it reformats every tracked .cpp and .h in
# place; with --check it changes nothing and fails, listing the files, when any differs (a CI job).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "formato.sh: clang-format manca (tools/install-deps.sh)" >&2; exit 2; }
mapfile -t file < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
    diversi=()
    for f in "${file[@]}"; do
        clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || diversi+=("$f")
    done
    if [ ${#diversi[@]} -gt 0 ]; then
        printf 'formato.sh: non nello stile di .clang-format (tools/formato.sh li sistema):\n' >&2
        printf '  %s\n' "${diversi[@]}" >&2
        exit 1
    fi
    echo "formato.sh: ${#file[@]} file nello stile"
else
    clang-format -i "${file[@]}"
fi
