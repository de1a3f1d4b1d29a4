#!/usr/bin/env bash
# Builds with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh -DVORS_WERROR=ON
ctest --test-dir build --output-on-failure -j2
