#!/usr/bin/env bash
# Builds with warnings as errors and runs every test; then runs the whole suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/,
# the clang tree that also holds the fuzz targets, and every fuzz target there
# for a short while (see scripts/fuzz.sh). It first checks that the sources
# follow .clang-format (scripts/format.sh --check; VORS_FORMAT_CHECK=0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
# Each phase says how long it took, so that the whole run's time can be kept in check.
started=$SECONDS
took() {
  echo "== $1 took $((SECONDS - started)) s"
  started=$SECONDS
}
if [ "${VORS_FORMAT_CHECK:-1}" = 1 ]; then
  echo "== Formatting"
  bash scripts/format.sh --check
  took "Formatting"
fi

bash scripts/setup.sh
# The package test renders the manual pages and runs lintian; the records tests
# start a PostgreSQL server of their own.
bash scripts/install_packages.sh man-db lintian postgresql
took "The build"
ctest --test-dir build --output-on-failure -j2
took "The test suite"

echo "== The test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/sanitizer_build.sh
took "The sanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -E package_test  # the package is built above
took "The sanitizer suite"

echo "== Fuzz smoke"
VORS_FUZZ_JOBS=2 bash scripts/fuzz.sh "${VORS_FUZZ_SECONDS:-5}"  # both cores
took "The fuzz smoke"
