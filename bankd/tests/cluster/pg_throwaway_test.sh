#!/usr/bin/env bash
# scripts/pg-throwaway.sh: start prints one URL and returns with the server
# accepting connections (durable: fsync on; not as root), the cluster keeps
# data, stop ends the server and removes the folder.
set -euo pipefail
SOURCE=${TVPB_SOURCE:-$(cd "$(dirname "$0")/../../.." && pwd)}
PG=$SOURCE/scripts/pg-throwaway.sh
if ! ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1 && ! command -v initdb >/dev/null; then
  if [ "${CI:-}" = "true" ]; then echo "FAIL: PostgreSQL is not installed" >&2; exit 1; fi
  echo "SKIP: PostgreSQL is not installed (scripts/deps.sh installs it)"; exit 77
fi
fail() { echo "FAIL: $*" >&2; exit 1; }

WORK=$(mktemp -d)
chmod 0711 "$WORK"   # the server user (postgres, when run as root) passes through
DIR=$WORK/pg
trap '"$PG" stop "$DIR" >/dev/null 2>&1 || true; rm -rf "$WORK"' EXIT

"$PG" start "$DIR" >"$WORK/out"
[ "$(wc -l <"$WORK/out")" -eq 1 ] || fail "start printed more than one line: $(cat "$WORK/out")"
URL=$(cat "$WORK/out")
[[ $URL =~ ^postgresql://[a-z_]+@127\.0\.0\.1:([0-9]+)/postgres$ ]] || fail "not a URL: $URL"
PORT=${BASH_REMATCH[1]}

# Accepting connections as soon as start returned, durable, not run by root.
[ "$(psql "$URL" -XAtc 'SHOW fsync')" = on ] || fail "fsync is not on"
[ "$(psql "$URL" -XAtc 'SHOW synchronous_commit')" = on ] || fail "synchronous_commit is not on"
psql "$URL" -XAtq -v ON_ERROR_STOP=1 \
  -c 'CREATE TABLE t (id BIGINT PRIMARY KEY, v TEXT)' \
  -c "INSERT INTO t VALUES (1, '가나다'), (2, 'b')"
[ "$(psql "$URL" -XAtc 'SELECT v FROM t WHERE id = 1')" = "가나다" ] || fail "row not read back"
PID=$(head -1 "$DIR/data/postmaster.pid")
[ "$(ps -o uid= -p "$PID" | tr -d ' ')" != 0 ] || fail "the server runs as root"

# A second cluster beside the first gets its own port.
"$PG" start "$WORK/pg2" >"$WORK/out2"
[ "$(cat "$WORK/out2")" != "$URL" ] || fail "two clusters on one port"
"$PG" stop "$WORK/pg2"

"$PG" stop "$DIR"
[ ! -e "$DIR" ] || fail "stop left $DIR"
# (a zombie waiting for init to reap it counts as ended)
running() { ps -o stat= -p "$1" 2>/dev/null | grep -qv Z; }
if running "$PID"; then fail "the server still runs after stop"; fi
if psql "postgresql://postgres@127.0.0.1:$PORT/postgres" -XAtc 'SELECT 1' >/dev/null 2>&1; then
  fail "the port still answers after stop"
fi
# Stopping a cluster that is gone is not an error.
"$PG" stop "$DIR"
echo "pg-throwaway: ok ($URL)"
