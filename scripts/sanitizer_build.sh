#!/usr/bin/env bash
# Configures build-asan/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# and the libFuzzer targets, and builds the given targets into it (every target,
# the tests and the fuzz targets, when none is given). One tree serves the
# sanitizer pass of scripts/test.sh and scripts/fuzz.sh.
# Usage: scripts/sanitizer_build.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential lld clang libclang-rt-14-dev cmake ninja-build pkg-config libjpeg62-turbo-dev qt6-base-dev
          libgtest-dev libxml2-dev libxlsxwriter-dev libfontconfig-dev libxkbcommon-dev libpq-dev)
bash scripts/install_packages.sh "${packages[@]}"

# Unoptimised with line tables only: it builds in about half the time, and the
# tests and the fuzz smoke stay fast even so.
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DVORS_ASAN=ON -DVORS_FUZZ=ON -DVORS_WERROR=ON \
  -DVORS_BENCH=OFF >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build-asan --target "$@"
else
  cmake --build build-asan
fi
