#!/usr/bin/env bash
# Formats the C++ sources of src/, tests/, bench/ and fuzz/ in place with
# clang-format (.clang-format); with --check only reports the lines that differ
# and exits non-zero when there is one (scripts/test.sh runs it so).
# Usage: scripts/format.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_packages.sh clang-format
mode=(-i)
[ "${1:-}" = --check ] && mode=(--dry-run -Werror)
# Found by name rather than asked of git: a copy unpacked from an archive has
# no repository, and a fresh system may have no git at all.
find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 clang-format "${mode[@]}"
