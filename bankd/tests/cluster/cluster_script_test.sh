#!/usr/bin/env bash
# scripts/cluster.sh on the embedded store (one node; the PostgreSQL cluster
# with several nodes is the cluster kill test's): the client's deploy.ini names
# the nginx front, requests reach the node through it, the node keeps its own
# runtime files (access log, pid file) in its node folder, a
# killed node starts again on its port, and stop leaves nothing running.
#   cluster_script_test.sh BIN_DIR
set -uo pipefail
export TVPB_BIN=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
CLUSTER="$ROOT/scripts/cluster.sh"
WORK=$(mktemp -d)
DIR=$WORK/c
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# A process that ended may stay a zombie until init reaps it.
running() { ps -o stat= -p "$1" 2>/dev/null | grep -qv Z; }
trap 'bash "$CLUSTER" stop "$DIR" >/dev/null 2>&1; rm -rf "$WORK"' EXIT

bash "$CLUSTER" start "$DIR" --sqlite --nodes 1 --fast-hash --demo || { echo "FAIL: start" >&2; exit 1; }
. "$DIR/cluster.env"
[ "$NODES" = 1 ] && [ -z "$PG_URL" ] || fail "cluster.env: NODES=$NODES PG_URL=$PG_URL"
grep -q "^server_host *= *$FRONT$" "$DEPLOY" || fail "deploy.ini does not name the front $FRONT"
grep -q "^host *= *$FRONT$" "$DEPLOY" || fail "deploy.ini's download host is not the front $FRONT"
grep -q "DEMOS" "$DIR/credentials.txt" || fail "no demo customers in credentials.txt"

node="$DIR/nodes/1"
pid=$(cat "$node/bankd.pid")
running "$pid" || fail "no node process $pid"
[ "$(stat -c %a "$node")" = 700 ] || fail "the node folder is open to others"
for f in access.log bankd.pid; do
  [ "$(stat -c %a "$node/$f" 2>/dev/null)" = 600 ] || fail "$f is missing or not 0600"
done
[ ! -e "$DATA/log/access.log" ] || fail "the node wrote the data folder's own access log"

# Through the front to the node, logged in the node's own access log; an
# encrypted inquiry too.
curl -fsS "http://$FRONT/download/compaq/TVPB_Version.info" >/dev/null || fail "no answer through the front"
"$TVPB_BIN/../bench/bankd_load" --port "${FRONT##*:}" --data "$DATA" --mode t003 --clients 2 --seconds 1 \
  >"$WORK/load.txt" || fail "inquiries through the front: $(cat "$WORK/load.txt")"
grep -q " errors=0 " "$WORK/load.txt" || fail "inquiries through the front failed: $(cat "$WORK/load.txt")"
grep -q "PDA_T003" "$node/access.log" || fail "the node's access log has no inquiry"

# Killed, the front answers 502; started again on its port, it serves again.
bash "$CLUSTER" kill-node "$DIR" 1 || fail "kill-node"
running "$pid" && fail "node $pid survived kill-node"
code=$(curl -s -o /dev/null -w '%{http_code}' "http://$FRONT/download/compaq/TVPB_Version.info")
[ "$code" = 502 ] || fail "with the node dead the front answered $code"
bash "$CLUSTER" status "$DIR" | grep -q "node 1 .* down" || fail "status does not show the node down"
bash "$CLUSTER" start-node "$DIR" 1 >/dev/null || fail "start-node"
newpid=$(cat "$node/bankd.pid")
[ "$newpid" != "$pid" ] && running "$newpid" || fail "the node did not start again"
ok=""
# The front tries a failed node again after its fail timeout; under load that
# and the node's start may take a while, so wait on the answer, not a count.
deadline=$((SECONDS + 60))
while [ "$SECONDS" -lt "$deadline" ]; do
  if curl -fs -m 10 "http://$FRONT/download/compaq/TVPB_Version.info" >/dev/null; then ok=1; break; fi
  sleep 0.1
done
[ -n "$ok" ] || fail "the front does not reach the restarted node"
# A clean stop removes the node's pid file.
bash "$CLUSTER" stop-node "$DIR" 1
[ ! -e "$node/bankd.pid" ] || fail "a stopped node left its pid file"
bash "$CLUSTER" start-node "$DIR" all >/dev/null || fail "start-node all"
newpid=$(cat "$node/bankd.pid")

nginx_pid=$(cat "$DIR/front/nginx.pid")
bash "$CLUSTER" stop "$DIR" || fail "stop"
running "$newpid" && fail "node $newpid still runs after stop"
running "$nginx_pid" && fail "nginx $nginx_pid still runs after stop"
[ ! -e "$DIR" ] || fail "stop left $DIR"
# A second start refuses a folder that holds a cluster.
mkdir -p "$DIR" && echo x >"$DIR/cluster.env"
bash "$CLUSTER" start "$DIR" --sqlite --nodes 1 >/dev/null 2>&1 && fail "start over an existing cluster"
bash "$CLUSTER" start "$WORK/d2" --sqlite --nodes 2 >/dev/null 2>&1 && fail "two nodes on SQLite"
[ "$failures" -eq 0 ] && echo "cluster.sh: front, node files, kill and restart, stop: ok"
exit $((failures > 0))
