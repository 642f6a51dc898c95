#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for tests, benchmarks and scripts/cluster.sh.
#
#   scripts/pg-throwaway.sh start DIR   initdb in DIR/data, start the server on a
#                                       free loopback port (fsync on, trust auth on
#                                       loopback only), wait until it accepts
#                                       connections and print one line:
#                                       postgresql://postgres@127.0.0.1:PORT/postgres
#   scripts/pg-throwaway.sh stop DIR    stop the server and remove DIR
#   scripts/pg-throwaway.sh url DIR     print the URL of a started cluster again
#
# PostgreSQL refuses to run as root: as root the server runs as the system user
# `postgres` (created when missing) and DIR is handed to it. The server's log is
# DIR/server.log. PG_BIN overrides the folder of initdb and pg_ctl.
set -euo pipefail

die() { echo "pg-throwaway: $*" >&2; exit 1; }

find_bin() {
  if [ -n "${PG_BIN:-}" ]; then echo "$PG_BIN"; return; fi
  if [ -x /usr/lib/postgresql/15/bin/initdb ]; then echo /usr/lib/postgresql/15/bin; return; fi
  local d
  for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    if [ -x "$d/initdb" ]; then echo "$d"; return; fi
  done
  if command -v initdb >/dev/null 2>&1; then dirname "$(command -v initdb)"; return; fi
  die "PostgreSQL server programs (initdb, pg_ctl) not found: install the postgresql package (scripts/deps.sh)"
}

# Runs a command as the owner of the cluster: `postgres` when we are root.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

# A loopback TCP port nobody listens on now.
free_port() {
  python3 - <<'EOF'
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
EOF
}

url_of() { echo "postgresql://postgres@127.0.0.1:$1/postgres"; }

start() {
  local dir=$1 bin
  bin=$(find_bin)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ -e "$dir/data" ] && die "$dir/data exists already (stop the old cluster first)"
  if [ "$(id -u)" -eq 0 ]; then
    if ! id postgres >/dev/null 2>&1; then
      useradd --system --home-dir /var/lib/postgresql --shell /bin/false postgres \
        || die "cannot create the user postgres to run the server as"
    fi
    chown postgres: "$dir"
    chmod 0700 "$dir"
    as_owner test -x "$dir" || die "the user postgres cannot reach $dir (a parent folder is closed to it)"
  fi
  as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --encoding=UTF8 --locale=C \
    >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; die "initdb failed"; }

  # Loopback TCP only (no Unix socket, whose path length a deep DIR could exceed);
  # fsync and synchronous commits stay on: the cluster's figures are durable ones.
  cat >>"$dir/data/postgresql.conf" <<EOF

# pg-throwaway
listen_addresses = '127.0.0.1'
unix_socket_directories = ''
fsync = on
synchronous_commit = on
full_page_writes = on
max_connections = 300
logging_collector = off
EOF
  # Another program may take the port between the probe and the start: try again.
  local port attempt
  for attempt in 1 2 3 4 5; do
    port=$(free_port)
    if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -o "-p $port" -w -t 60 start \
         >"$dir/pg_ctl.log" 2>&1; then
      echo "$port" >"$dir/port"
      local i
      for i in $(seq 1 100); do
        if "$bin/pg_isready" -q -h 127.0.0.1 -p "$port" -U postgres -d postgres; then
          url_of "$port"
          return 0
        fi
        sleep 0.1
      done
      as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
      die "the server on port $port does not answer (see $dir/server.log)"
    fi
    grep -q "could not bind\|Address already in use" "$dir/server.log" 2>/dev/null || break
    : >"$dir/server.log"
  done
  cat "$dir/pg_ctl.log" "$dir/server.log" >&2 2>/dev/null || true
  die "the server did not start"
}

stop() {
  local dir=$1 bin
  [ -d "$dir" ] || return 0
  bin=$(find_bin)
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null 2>&1 \
      || as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case "${1:-}" in
  start) [ $# -eq 2 ] || die "usage: $0 start DIR"; start "$2" ;;
  stop)  [ $# -eq 2 ] || die "usage: $0 stop DIR"; stop "$2" ;;
  url)   [ $# -eq 2 ] || die "usage: $0 url DIR"; [ -f "$2/port" ] || die "no cluster in $2"; url_of "$(cat "$2/port")" ;;
  *) die "usage: $0 start DIR | stop DIR | url DIR" ;;
esac
