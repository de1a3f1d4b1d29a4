#!/usr/bin/env bash
# Builds the program, puts the sample course beside it and starts it from its
# own folder (graph.txt and the diagram pictures are read from the current one).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build/bin
exec ./vorsanit
