#!/usr/bin/env bash
# Peak memory and CPU time of vorsanit-results on generated logs of growing
# size, against the Python yardstick beside this script on the same logs.
# Goals: peak memory at most 64 MiB whatever the size; CPU time at most half
# of the yardstick's at one million records.
#   bench/results_scale.sh BUILD_DIR [RUNS] [RECORDS...]
# The logs go to a temporary folder that is removed afterwards.
set -euo pipefail
build=$1
runs=${2:-3}
shift $(( $# > 1 ? 2 : 1 ))
sizes=${*:-100000 1000000 3000000}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vorsanit-results-scale.XXXXXX)
trap 'rm -rf "$work"' EXIT

# "user+sys seconds" and "peak KiB" of one run.
measure() {
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
  awk -F': ' '/User time/{u=$2} /System time/{s=$2} /Maximum resident/{m=$2} END{printf "%.2f %d\n", u+s, m}' \
    "$work/time.txt"
}
median() { sort -g | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
spread() { sort -g | awk 'NR==1{lo=$1} {hi=$1} END{printf "%s-%s", lo, hi}'; }

printf '%-9s %12s %12s %14s %12s %16s\n' records "tool cpu s" "python cpu s" "ratio (median)" "ratio range" "tool peak MiB"
for n in $sizes; do
  mkdir -p "$work/logs"
  "$build/bench/make_sample_logs" "$work/logs" "$n" >/dev/null
  : >"$work/ratios"; : >"$work/tool"; : >"$work/py"; : >"$work/peak"
  for _ in $(seq "$runs"); do
    read -r tool peak < <(measure "$build/bin/vorsanit-results" "$work/logs/ekzam.log" "$work/logs/zachet.log" \
                          --out "$work/out")
    read -r py _ < <(measure python3 "$here/results_yardstick.py" "$work/py.csv" "$work/logs/ekzam.log" \
                     "$work/logs/zachet.log")
    echo "$tool" >>"$work/tool"; echo "$py" >>"$work/py"; echo "$peak" >>"$work/peak"
    awk -v a="$tool" -v b="$py" 'BEGIN{printf "%.3f\n", a/b}' >>"$work/ratios"
  done
  printf '%-9s %12s %12s %14s %12s %16s\n' "$n" "$(median <"$work/tool")" "$(median <"$work/py")" \
    "$(median <"$work/ratios")" "$(spread <"$work/ratios")" \
    "$(awk '{k=$1>k?$1:k} END{printf "%.1f", k/1024}' "$work/peak")"
  rm -rf "$work/logs" "$work/out" "$work/py.csv"
done
