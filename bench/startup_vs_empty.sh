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
# mapped its first window ("map"); everything before that is start-up. A
# second pair of figures goes on to the first picture drawn into that window
# ("frame"), as the user sees it: what a program puts off until its first
# paint counts there.
# - Instructions: callgrind over the whole process, per thread. The main
#   thread's count is what the window waits for; the other threads (font
#   configuration read alongside, Qt's event reader) are given too, as the
#   total. Instruction counts do not depend on the machine's load.
# - Wall time: PAIRS runs of each, alternating, each ratio to the empty window
#   taken round by round so that a change of load during the measurement hits
#   both alike; the median and the spread (min, quartiles, max) of the ratios
#   are printed. Each run is waited for without polling.
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

# Prints "main_thread_instructions all_threads_instructions" for one program,
# up to the point that FIRST_MAP_EXIT_AT names.
count() {
  local name=$1 at=$2
  shift 2
  FIRST_MAP_EXIT_AT=$at LD_PRELOAD=$shim valgrind --tool=callgrind --separate-threads=yes \
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
counts=()
for at in map frame; do
  counts+=($(count program $at "$program") $(count empty $at "$empty"))
  counts+=($(count message $at "$program" "$work/no-course"))
done

python3 - "$pairs" "$program" "$empty" "$shim" "$work/no-course" "${counts[@]}" <<'PY'
import os, statistics, subprocess, sys, threading, time
pairs = int(sys.argv[1])
program, empty, shim, no_course = sys.argv[2:6]
counts = [int(x) for x in sys.argv[6:]]
points = {"map": "the first window mapped", "frame": "the first frame drawn in it"}
for i, at in enumerate(points):
    pm, pa, em, ea, mm, ma = counts[6 * i:6 * i + 6]
    print(f"instructions to {points[at]} (callgrind, whole process):")
    print(f"  main thread  program {pm/1e6:8.1f} M  empty {em/1e6:8.1f} M  ratio {pm/em:.2f}")
    print(f"  all threads  program {pa/1e6:8.1f} M  empty {ea/1e6:8.1f} M  ratio {pa/ea:.2f}")
    print(f"  message box, main thread {mm/1e6:8.1f} M  ratio {mm/em:.2f}; all threads {ma/1e6:8.1f} M")

def run(at, *cmd):
    env = dict(os.environ, LD_PRELOAD=shim, FIRST_MAP_EXIT_AT=at)
    start = time.monotonic()
    # A blocking wait: a polling one would round the times to its own steps.
    child = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    guard = threading.Timer(60, child.kill)
    guard.start()
    code = child.wait()
    elapsed = time.monotonic() - start
    guard.cancel()
    if code != 0:
        sys.exit(f"{cmd} ended with {code} before its first window")
    return elapsed

commands = {"program": (program,), "empty": (empty,), "message": (program, no_course)}
for at in points:
    for cmd in commands.values():
        run(at, *cmd)  # warm the file cache
times = {(at, name): [] for at in points for name in commands}
for _ in range(pairs):
    for at in points:
        for name, cmd in commands.items():
            times[at, name].append(run(at, *cmd))
ms = lambda v: f"{v*1000:6.1f} ms"
print(f"wall time, {pairs} alternating rounds under Xvfb, load average {os.getloadavg()[0]:.1f} ({os.cpu_count()} cores):")
for at, point in points.items():
    print(f" to {point}:")
    for name in commands:
        t = times[at, name]
        print(f"  {name:7} median {ms(statistics.median(t))} (min {ms(min(t))}, max {ms(max(t))})")
    for name in ("program", "message"):
        ratios = sorted(x / y for x, y in zip(times[at, name], times[at, "empty"]))
        q = statistics.quantiles(ratios, n=4)
        print(f"  ratio {name}/empty median {statistics.median(ratios):.2f}  min {ratios[0]:.2f}"
              f"  quartiles {q[0]:.2f}..{q[2]:.2f}  max {ratios[-1]:.2f}")
PY
