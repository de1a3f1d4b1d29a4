#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in the sanitizer tree
# build-asan/ (see scripts/sanitizer_build.sh) and runs each for SECONDS
# (default 60), one after the other on one core, or VORS_FUZZ_JOBS at a time.
# Prints the executions, executions per second and findings of each target;
# exits non-zero when any target found a crash, a leak, undefined behaviour or
# a broken property.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

build=build-asan
bash scripts/sanitizer_build.sh fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(course_files range_file question_card cp1251 diagram_map jpeg protocol_record course_check moodle_xml gift aiken course_document)
fi

# Short allocation stacks and a small quarantine keep the targets several times
# faster; a finding is then re-run with the defaults for its full report.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=5:quarantine_size_mb=16}

# Runs one target and leaves its exit status beside its log.
fuzz_one() {
  local t=$1 status=0
  "$build/fuzz/${t}_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$build/findings/$t/" \
    "$build/corpus/$t" "$build/seeds/$t" >"$build/logs/$t.log" 2>&1 || status=$?
  echo "$status" >"$build/logs/$t.status"
}

# VORS_FUZZ_JOBS targets run at a time (default 1: one core).
jobs=${VORS_FUZZ_JOBS:-1}
for t in "${targets[@]}"; do
  rm -rf "$build/findings/$t/" "$build/logs/$t.status"
  mkdir -p "$build/corpus/$t" "$build/findings/$t/" "$build/logs"  # the corpus grows across runs
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$t" &
done
wait

failed=0
printf '%-16s %12s %10s %8s  %s\n' target executions exec/s cov findings
for t in "${targets[@]}"; do
  artifacts="$build/findings/$t/"
  log="$build/logs/$t.log"
  status=$(cat "$build/logs/$t.status" 2>/dev/null || echo '?')
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  found=$(find "$artifacts" -type f | wc -l)
  verdict="none"
  if [ "$status" != 0 ] || [ "$found" -gt 0 ]; then
    verdict="FOUND (exit $status; see $log and $artifacts)"
    failed=1
  fi
  printf '%-16s %12s %10s %8s  %s\n' "$t" "${runs:-?}" "${speed:-?}" "${cov:-?}" "$verdict"
done
exit $failed
