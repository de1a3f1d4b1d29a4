#!/usr/bin/env bash
# Builds with warnings as errors and runs every test; then runs the whole suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), and
# every fuzz target for a short while (build-fuzz/, see scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh -DVORS_WERROR=ON
ctest --test-dir build --output-on-failure -j2

echo "== The test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
# Unoptimised with line tables only: it builds in about half the time, and the
# tests stay fast even so.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
  -DVORS_ASAN=ON -DVORS_WERROR=ON -DVORS_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -E package_test  # the package is built above

echo "== Fuzz smoke"
bash scripts/fuzz.sh "${VORS_FUZZ_SECONDS:-20}"
