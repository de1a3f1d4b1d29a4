#!/usr/bin/env bash
# Start-up of the program against an empty Qt Widgets window with a title,
# built the same way (bench/empty_window.cpp), both up to their first window,
# and of the program's first message box (a course folder without main.txt,
# so that the message box is the first window):
#   bench/startup_vs_empty.sh [BUILD_DIR [PAIRS]]
# BUILD_DIR is a build with VORS_BENCH on (default build); PAIRS is the number
# of alternating timed rounds (default 21). PROGRAM=path/to/vorsanit measures
# another build of the program (an older one, say) against the same yardstick.
#
# Both programs run under a bare Xvfb (no window manager) with
# libfirst_map_exit.so preloaded, which ends the process once the server has
# mapped its first window; everything before that is start-up.
# - Instructions: callgrind over the whole process, per thread. The main
#   thread's count is what the window waits for; the other threads (font
#   configuration read alongside, Qt's event reader) are given too, as the
#   total. Instruction counts do not depend on the machine's load.
# - Wall time: PAIRS runs of each, alternating A B C A B C, each ratio to the
#   empty window taken round by round so that a change of load during the
#   measurement hits both alike; the median and the spread (min, quartiles,
#   max) of the ratios are printed.
# Needs valgrind, Xvfb and python3.
set -euo pipefail
build=$(realpath "${1:-build}")
pairs=${2:-21}
program=$(realpath "${PROGRAM:-$build/bin/vorsanit}")
empty=$build/bench/empty_window
shim=$build/bench/libfirst_map_exit.so
for f in "$program" "$empty" "$shim"; do
  [[ -e $f ]] || { echo "missing $f (build with -DVORS_BENCH=ON)" >&2; exit 2; }
done
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 2; }

work=$(mktemp -d)
# Xvfb picks a free display and names it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=:$(head -1 "$work/display")
export DISPLAY=$display QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# The program reads its course beside itself; run it from there.
cd "$(dirname "$program")"

# Prints "main_thread_instructions all_threads_instructions" for one program.
count() {
  local name=$1
  shift
  LD_PRELOAD=$shim valgrind --tool=callgrind --separate-threads=yes \
    --callgrind-out-file="$work/$name.%p" "$@" >"$work/$name.log" 2>&1 &
  local pid=$!
  wait $pid || { echo "$name failed under callgrind, see:" >&2; cat "$work/$name.log" >&2; exit 1; }
  # Qt may fork a helper; only the launched process counts.
  local main all
  main=$(sed -n 's/^summary: //p' "$work/$name.$pid-01")
  all=$(awk '/^summary:/ { sum += $2 } END { print sum }' "$work/$name.$pid"-*)
  echo "$main $all"
}

mkdir "$work/no-course"
read -r pm pa < <(count program "$program")
read -r em ea < <(count empty "$empty")
read -r mm ma < <(count message "$program" "$work/no-course")

python3 - "$pm" "$pa" "$em" "$ea" "$mm" "$ma" "$pairs" "$program" "$empty" "$shim" "$work/no-course" <<'PY'
import os, statistics, subprocess, sys, time
pm, pa, em, ea, mm, ma, pairs = (int(x) for x in sys.argv[1:8])
program, empty, shim, no_course = sys.argv[8:12]
print(f"instructions to the first window mapped (callgrind, whole process up to the map):")
print(f"  main thread  program {pm/1e6:8.1f} M  empty {em/1e6:8.1f} M  ratio {pm/em:.2f}")
print(f"  all threads  program {pa/1e6:8.1f} M  empty {ea/1e6:8.1f} M  ratio {pa/ea:.2f}")
print(f"  message box, main thread {mm/1e6:8.1f} M  ratio {mm/em:.2f}; all threads {ma/1e6:8.1f} M")

env = dict(os.environ, LD_PRELOAD=shim)
def run(*cmd):
    start = time.monotonic()
    done = subprocess.run(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    elapsed = time.monotonic() - start
    if done.returncode != 0:
        sys.exit(f"{cmd} ended with {done.returncode} before its first window")
    return elapsed
run(program); run(empty); run(program, no_course)  # warm the file cache
a, b, c = [], [], []
for _ in range(pairs):
    a.append(run(program))
    b.append(run(empty))
    c.append(run(program, no_course))
ms = lambda v: f"{v*1000:6.1f} ms"
def spread(label, times):
    print(f"  {label} median {ms(statistics.median(times))} (min {ms(min(times))}, max {ms(max(times))})")
def ratio(label, times):
    ratios = sorted(x / y for x, y in zip(times, b))
    q = statistics.quantiles(ratios, n=4)
    print(f"  {label} median {statistics.median(ratios):.2f}  min {ratios[0]:.2f}  quartiles {q[0]:.2f}..{q[2]:.2f}  max {ratios[-1]:.2f}")
print(f"wall time to the first window mapped, {pairs} alternating rounds under Xvfb, load average {os.getloadavg()[0]:.1f} ({os.cpu_count()} cores):")
spread("program", a)
spread("empty  ", b)
spread("message", c)
ratio("ratio program/empty", a)
ratio("ratio message/empty", c)
PY
