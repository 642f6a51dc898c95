#!/usr/bin/env bash
# The README's serve path (scripts/demo-bank.sh, as run.sh uses it) starts bankd on
# loopback behind the nginx front, the client's deploy.ini names the front, a
# request goes through it, and stopping leaves no nginx or bankd behind.
#   serve-path-test.sh BIN_DIR
set -uo pipefail
BIN=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
DEMO=$(mktemp -d)
DEMO_INIT_FLAGS=--fast-hash
BANKD="" NGINX_RUNTIME=""
. "$ROOT/scripts/demo-bank.sh"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
trap 'stop_demo_bank; rm -rf "$DEMO"' EXIT

start_demo_bank || { echo "FAIL: the serve path did not start" >&2; exit 1; }
bankd_pid=$BANKD
nginx_pid=$(cat "$NGINX_RUNTIME/nginx.pid")
[ "$PORT" != "$BANK_PORT" ] || fail "the front and bankd share port $PORT"
grep -q "^server_host=127.0.0.1:$PORT$" "$TVPB_DEPLOY" || fail "deploy.ini does not name the front 127.0.0.1:$PORT"
kill -0 "$nginx_pid" 2>/dev/null || fail "no nginx master $nginx_pid"
if [ "$(id -u)" -eq 0 ]; then
  workers=""
  deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do  # the master forks its worker after it listens
    workers=$(ps -o user= --ppid "$nginx_pid" | sort -u | tr -d ' ')
    [ -n "$workers" ] && break
    sleep 0.1
  done
  [ "$workers" = nobody ] || fail "nginx workers started as root run as '$workers', not nobody"
fi

# The client's request reaches bankd through the front.
body=$(curl -fsS "http://127.0.0.1:$PORT/download/compaq/TVPB_Version.info") || fail "no answer through the front"
direct=$(curl -fsS "http://127.0.0.1:$BANK_PORT/download/compaq/TVPB_Version.info") || fail "bankd does not answer"
[ -n "$body" ] && [ "$body" = "$direct" ] || fail "the front answered '$body', bankd '$direct'"
grep -q '"GET /download/compaq/TVPB_Version.info" 200' "$NGINX_RUNTIME/logs/access.log" ||
  fail "the front's access log has no line for the request"
# bankd's limits hold at the front: an 8 KB request line and body.
long=$(head -c 9000 /dev/zero | tr '\0' A)
code=$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$PORT/servlet/TvPdaMain?q=$long")
[ "$code" = 414 ] || fail "a 9000-byte request line got $code through the front, not 414"
code=$(curl -s -o /dev/null -w '%{http_code}' --data-binary "q=$long" "http://127.0.0.1:$PORT/servlet/TvPdaMain")
[ "$code" = 413 ] || fail "a 9000-byte body got $code through the front, not 413"
# Starting a second front on the same runtime folder is refused, the first keeps running.
if bash "$ROOT/scripts/nginx-front.sh" start --listen "127.0.0.1:$PORT" --upstream "127.0.0.1:$BANK_PORT" \
    --runtime "$NGINX_RUNTIME" >/dev/null 2>&1; then
  fail "a second nginx started on a running front's folder"
fi
kill -0 "$nginx_pid" 2>/dev/null || fail "the running front died when a second one was refused"

stop_demo_bank
for _ in $(seq 50); do
  kill -0 "$nginx_pid" 2>/dev/null || kill -0 "$bankd_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$nginx_pid" 2>/dev/null && fail "nginx $nginx_pid still runs after stop"
kill -0 "$bankd_pid" 2>/dev/null && fail "bankd $bankd_pid still runs after stop"
pgrep -f "nginx: .*-p $NGINX_RUNTIME " >/dev/null && fail "an nginx process of $NGINX_RUNTIME is left"
[ ! -e "$DEMO/nginx/nginx.pid" ] || fail "nginx left its pid file"
curl -s -o /dev/null "http://127.0.0.1:$PORT/" && fail "something still answers on the front's port $PORT"

[ "$failures" -eq 0 ] && echo "serve path: front started, answered, refused oversize requests and stopped cleanly"
exit $((failures > 0))
