#!/usr/bin/env bash
# Starts a PostgreSQL server of its own (as the tests do), runs the records
# server benchmark against it and stops the server again, also on a failure.
#   bench/records_server_bench.sh BUILD_DIR [benchmark options...]
set -euo pipefail
build=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
server="$here/../tests/support/records_server.sh"
state=$(mktemp /tmp/vorsanit-bench-server.XXXXXX)
trap 'bash "$server" stop "$state"' EXIT
bash "$server" start "$state"
VORS_TEST_SERVER=$state VORS_BENCH_RESTART="bash '$server' restart '$state' 1" \
  "$build/bench/records_server_bench" "$@"
