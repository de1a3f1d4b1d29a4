#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests that need one, from Debian's
# postgresql package: made in a temporary folder, listening on a loopback port
# and on a socket in that folder, run by an unprivileged account (the server
# refuses root: as root it runs as postgres).
#
#   records_server.sh start STATE   makes and starts a server; STATE gets its
#                                   connection string (line 1) and its folder (line 2)
#   records_server.sh stop STATE    stops it and removes its folder
#   records_server.sh restart STATE SECONDS
#                                   stops it, waits, and starts it again on its port
#
# The server trusts every local connection: it holds nothing but test data and
# is gone when the tests end. It does not sync to disk (a crash of the machine
# is not what the tests are about), but a commit is a commit: a restart keeps
# every row the server has confirmed.
set -euo pipefail
action=$1
state=$2

bin=$(pg_config --bindir 2>/dev/null || true)
if [ ! -x "$bin/initdb" ]; then
  for candidate in /usr/lib/postgresql/*/bin; do
    [ -x "$candidate/initdb" ] && bin=$candidate
  done
fi

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop() {
  [ -f "$state" ] || return 0
  local folder
  folder=$(sed -n 2p "$state")
  if [ -n "$folder" ] && [ -d "$folder" ]; then
    as_server "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$folder"
  fi
  rm -f "$state"
}

options="-c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c max_connections=200"

case $action in
  stop)
    stop
    ;;
  restart)
    folder=$(sed -n 2p "$state")
    port=$(sed -n 's/.*port=\([0-9]*\).*/\1/p' "$state")
    as_server "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null
    sleep "${3:-1}"
    as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 20 \
      -o "$options -k $folder -p $port" start >/dev/null
    ;;
  start)
    [ -x "$bin/initdb" ] || { echo "records_server.sh: PostgreSQL is not installed (package postgresql)"; exit 1; }
    stop  # whatever a killed run left behind
    folder=$(mktemp -d "${TMPDIR:-/tmp}/vorsanit-pg.XXXXXX")
    # The folder is noted first, so that a stop finds whatever this start leaves.
    printf '\n%s\n' "$folder" >"$state" || { rm -rf "$folder"; exit 1; }
    [ "$(id -u)" -eq 0 ] && chown postgres: "$folder"
    as_server "$bin/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
      --no-sync --no-instructions >"$folder/initdb.log" 2>&1 ||
      { cat "$folder/initdb.log"; stop; exit 1; }
    # A port another program holds makes the start fail: another one is tried.
    for attempt in 1 2 3 4 5; do
      port=$((20000 + RANDOM % 30000))
      if as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 20 \
           -o "$options -k $folder -p $port" \
           start >/dev/null; then
        printf 'host=127.0.0.1 port=%s user=postgres dbname=postgres\n%s\n' "$port" "$folder" >"$state"
        exit 0
      fi
    done
    cat "$folder/server.log"
    stop
    exit 1
    ;;
  *)
    echo "usage: records_server.sh start|stop STATE, or restart STATE SECONDS"
    exit 2
    ;;
esac
