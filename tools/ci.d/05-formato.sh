#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CI: every C++ file in the style of .clang-format (Debian 12's clang-format; tools/formato.sh mends them).
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/formato.sh --check
