#!/usr/bin/env bash
# Builds the program, puts the sample course beside it and starts it from its
# own folder (graph.txt and the diagram pictures are read from the current one).
set -euo pipefail
cd "$(dirname "$0")/.."
# Without a display Qt aborts with a misleading hint about reinstalling.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "The program has windows and needs a graphical session (DISPLAY or WAYLAND_DISPLAY is empty)." >&2
  echo "Start it from a desktop session, or without one under a virtual display:" >&2
  echo "  xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
bash scripts/setup.sh vorsanit
cd build/bin
exec ./vorsanit
