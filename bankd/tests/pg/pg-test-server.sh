#!/usr/bin/env bash
# The PostgreSQL server of the test run's PostgreSQL pass (a ctest fixture).
#   pg-test-server.sh start STATE   starts a throwaway cluster (scripts/pg-throwaway.sh)
#                                   and writes its URL to STATE/url
#   pg-test-server.sh stop STATE    stops it and removes it
# Without PostgreSQL installed the pass is skipped (no STATE/url), except under
# CI (CI=true), where that fails the run.
set -euo pipefail
SOURCE=${TVPB_SOURCE:-$(cd "$(dirname "$0")/../../.." && pwd)}
PG=$SOURCE/scripts/pg-throwaway.sh
cmd=${1:-}
STATE=${2:?usage: pg-test-server.sh start|stop STATE}

case "$cmd" in
  start)
    if [ -f "$STATE/cluster" ]; then "$PG" stop "$(cat "$STATE/cluster")" >/dev/null 2>&1 || true; fi
    rm -rf "$STATE"
    mkdir -p "$STATE"
    if ! ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1 && ! command -v initdb >/dev/null; then
      if [ "${CI:-}" = "true" ]; then echo "FAIL: PostgreSQL is not installed (scripts/deps.sh)" >&2; exit 1; fi
      echo "PostgreSQL is not installed: the PostgreSQL pass of the bankd tests is skipped"
      exit 0
    fi
    # Outside the build tree: the server's user (postgres, when run as root)
    # must reach the folder.
    work=$(mktemp -d /tmp/bankd-test-pg-XXXXXX)
    chmod 0711 "$work"
    echo "$work/pg" >"$STATE/cluster"
    "$PG" start "$work/pg" >"$STATE/url.new"
    mv "$STATE/url.new" "$STATE/url"
    echo "PostgreSQL for the tests: $(cat "$STATE/url")"
    ;;
  stop)
    if [ -f "$STATE/cluster" ]; then
      dir=$(cat "$STATE/cluster")
      # Nothing of it is kept: no shutdown checkpoint to wait for.
      ctl=$(ls /usr/lib/postgresql/*/bin/pg_ctl 2>/dev/null | sort -V | tail -1)
      if [ -n "$ctl" ] && [ -f "$dir/data/postmaster.pid" ]; then
        if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
        else "$ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true; fi
      fi
      "$PG" stop "$dir"
      rm -rf "$(dirname "$dir")"
    fi
    rm -rf "$STATE"
    ;;
  *) echo "usage: pg-test-server.sh start|stop STATE" >&2; exit 2 ;;
esac
