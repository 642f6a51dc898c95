#!/usr/bin/env bash
# bankd as a cluster on this machine: a throwaway PostgreSQL, N bankd nodes on
# free loopback ports sharing one data folder (its keys, settings and download
# files), and nginx in front balancing over them. The client's deploy.ini names
# the front.
#
#   scripts/cluster.sh start DIR [--nodes N] [--sqlite] [--demo] [--fast-hash] [--threads T]
#                                [--scheduled-interval S]
#       creates DIR and starts everything; prints the front's address and
#       DIR/cluster.env (a shell file: FRONT, NODES, NODE_1.., PG_URL, DATA, DEPLOY, BIN)
#   scripts/cluster.sh stop DIR [--keep]
#       stops nginx, the nodes and PostgreSQL; removes DIR (--keep: keeps the logs)
#   scripts/cluster.sh status DIR
#   scripts/cluster.sh kill-node DIR I     SIGKILL for node I (1..N)
#   scripts/cluster.sh stop-node DIR I     SIGTERM for node I (I may be "all")
#   scripts/cluster.sh start-node DIR I    starts node I again on its port (I may
#                                          be "all": every stopped node at once)
#
# Layout of DIR:
#   pg/                 the PostgreSQL cluster (scripts/pg-throwaway.sh)
#   data/               the bank's data folder (bankd init --postgres URL)
#   nodes/I/            node I's own runtime files (bankd serve --node-dir):
#                       access.log, bankd.pid; its output bankd.log
#   front/              nginx's configuration, pid, logs (scripts/nginx-front.sh)
#   deploy.ini          the client's deployment file, naming the front
#                       (run the client with TVPB_DEPLOY=DIR/deploy.ini)
#   home/               with --demo: the client's TVPB_HOME holding the demo certificate
#   credentials.txt     with --demo: the demo customers
#
# Options:
#   --nodes N     bankd nodes (default 3)
#   --sqlite      one node on the embedded SQLite store instead of PostgreSQL
#                 (the single-machine default, for comparison)
#   --demo        fill the demo bank
#   --fast-hash   cheapest password hashing (tests and benchmarks only)
#   --threads T   serving threads per node (bankd serve --threads)
#   --scheduled-interval S
#                 seconds between two looks for due scheduled transfers on each
#                 node (default 60)
# Settings (environment): TVPB_BIN, the program folder (default build/bin).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=${TVPB_BIN:-$ROOT/${TVPB_BUILD_DIR:-build}/bin}

usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; }
die() { echo "cluster.sh: $*" >&2; exit 1; }

# n free loopback ports, all bound at once so that they differ.
free_ports() {
  python3 -c 'import socket, sys
ss = [socket.socket() for _ in range(int(sys.argv[1]))]
for s in ss: s.bind(("127.0.0.1", 0))
print(*[s.getsockname()[1] for s in ss])' "$1"
}

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null && ! ps -o stat= -p "$1" | grep -q Z; }

load_env() {
  [ -f "$1/cluster.env" ] || die "no cluster in $1 (no $1/cluster.env)"
  # shellcheck disable=SC1091
  . "$1/cluster.env"
}

node_pid() { cat "$DIR/nodes/$1/bankd.pid" 2>/dev/null || true; }

# Starts node i (its port from cluster.env) and waits until it serves.
start_node() {
  local i=$1 listen var pid
  var="NODE_$i"
  listen=${!var:-}
  [ -n "$listen" ] || die "no node $i"
  alive "$(node_pid "$i")" && die "node $i runs already (pid $(node_pid "$i"))"
  local run="$DIR/nodes/$i"
  (umask 077; mkdir -p "$run"; : >>"$run/bankd.log")
  # Each node keeps its runtime files in its own folder; the data folder is
  # shared. The nginx front on this machine names each client's address.
  "$BIN/bankd" serve --data "$DATA" --listen "$listen" --node-dir "$run" --threads "$THREADS" --trusted-front 127.0.0.1 \
    --scheduled-interval "$SCHEDULED_INTERVAL" >>"$run/bankd.log" 2>&1 </dev/null &
  pid=$!
  echo "$pid" >"$run/bankd.pid"
}

wait_node() {
  local i=$1 var listen pid
  var="NODE_$i"
  listen=${!var}
  pid=$(node_pid "$i")
  for _ in $(seq 300); do
    alive "$pid" || { tail -5 "$DIR/nodes/$i/bankd.log" >&2; die "node $i ($listen) stopped; see $DIR/nodes/$i/bankd.log"; }
    if grep -q "bankd: serving .*$listen" "$DIR/nodes/$i/bankd.log" 2>/dev/null &&
       (exec 3<>"/dev/tcp/${listen%:*}/${listen##*:}") 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  die "node $i ($listen) did not start within 30 s; see $DIR/nodes/$i/bankd.log"
}

stop_node() {
  local i=$1 pid
  pid=$(node_pid "$i")
  alive "$pid" || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 100); do alive "$pid" || return 0; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
}

cmd_start() {
  local nodes=3 sqlite="" demo="" fast="" threads=8 interval=60
  while [ $# -gt 0 ]; do
    case "$1" in
      --nodes) [ $# -ge 2 ] || die "--nodes wants a number"; nodes=$2; shift 2 ;;
      --threads) [ $# -ge 2 ] || die "--threads wants a number"; threads=$2; shift 2 ;;
      --scheduled-interval) [ $# -ge 2 ] || die "--scheduled-interval wants seconds"; interval=$2; shift 2 ;;
      --sqlite) sqlite=1; shift ;;
      --demo) demo=1; shift ;;
      --fast-hash) fast=1; shift ;;
      *) die "unknown argument: $1" ;;
    esac
  done
  [[ "$nodes" =~ ^[1-9][0-9]?$ ]] || die "--nodes wants 1 to 99, not \"$nodes\""
  [[ "$threads" =~ ^[1-9][0-9]{0,2}$ ]] || die "--threads wants 1 to 256, not \"$threads\""
  [[ "$interval" =~ ^[1-9][0-9]{0,3}$ ]] || die "--scheduled-interval wants 1 to 3600 seconds, not \"$interval\""
  [ -z "$sqlite" ] || [ "$nodes" -eq 1 ] || die "an SQLite bank is served by one node; use PostgreSQL (no --sqlite) for more"
  [ -x "$BIN/bankd" ] || die "no $BIN/bankd: build first (scripts/build.sh) or set TVPB_BIN"
  [ ! -e "$DIR/cluster.env" ] || die "a cluster is already set up in $DIR (stop it first)"
  mkdir -p "$DIR"
  DIR=$(cd "$DIR" && pwd)
  # A start that fails half-way stops what it started and keeps the logs.
  START_OK=""
  trap '[ -n "$START_OK" ] || { echo "cluster.sh: start failed; logs kept in $DIR" >&2; cmd_stop --keep >/dev/null 2>&1; }' EXIT
  # The PostgreSQL server's user (postgres, when run as root) passes through DIR.
  chmod 0711 "$DIR"

  local ports
  read -r -a ports < <(free_ports $((nodes + 1)))
  local front="127.0.0.1:${ports[0]}"
  local url=""
  if [ -z "$sqlite" ]; then
    url=$(bash "$ROOT/scripts/pg-throwaway.sh" start "$DIR/pg") || die "PostgreSQL did not start"
  fi
  {
    echo "BIN='$BIN'"
    echo "DATA='$DIR/data'"
    echo "DEPLOY='$DIR/deploy.ini'"
    echo "PG_URL='$url'"
    echo "FRONT='$front'"
    echo "NODES=$nodes"
    echo "THREADS=$threads"
    echo "SCHEDULED_INTERVAL=$interval"
    for i in $(seq "$nodes"); do echo "NODE_$i='127.0.0.1:${ports[$i]}'"; done
  } >"$DIR/cluster.env"
  load_env "$DIR"

  local init=(init --data "$DATA" --server-host "$front" --deploy "$DEPLOY")
  [ -z "$url" ] || init+=(--postgres "$url")
  [ -z "$fast" ] || init+=(--fast-hash)
  [ -z "$demo" ] || init+=(--demo --home "$DIR/home")
  (umask 077; "$BIN/bankd" "${init[@]}" >"$DIR/credentials.txt" 2>"$DIR/init.log") ||
    { cat "$DIR/init.log" >&2; die "bankd init failed"; }
  [ -n "$demo" ] || rm -f "$DIR/credentials.txt"

  # All nodes at once (their scheduled-transfer runners start together too).
  local upstreams=()
  for i in $(seq "$nodes"); do
    start_node "$i"
    local var="NODE_$i"
    upstreams+=("${!var}")
  done
  for i in $(seq "$nodes"); do wait_node "$i"; done
  bash "$ROOT/scripts/nginx-front.sh" start --listen "$front" --upstream "$(IFS=,; echo "${upstreams[*]}")" \
    --runtime "$DIR/front" >/dev/null || die "the nginx front did not start; see $DIR/front/logs/error.log"
  START_OK=1
  echo "cluster: front http://$front -> ${upstreams[*]} ($([ -n "$url" ] && echo "PostgreSQL $url" || echo SQLite))"
  echo "cluster: data $DATA, client deploy.ini $DEPLOY, settings $DIR/cluster.env"
}

cmd_stop() {
  local keep=""
  [ "${1:-}" = --keep ] && keep=1
  [ -d "$DIR" ] || return 0
  if [ -f "$DIR/cluster.env" ]; then
    load_env "$DIR"
    bash "$ROOT/scripts/nginx-front.sh" stop --runtime "$DIR/front" || true
    for i in $(seq "$NODES"); do stop_node "$i"; done
  fi
  bash "$ROOT/scripts/pg-throwaway.sh" stop "$DIR/pg"
  if [ -n "$keep" ]; then
    rm -rf "$DIR/data" "$DIR/cluster.env"
  else
    rm -rf "$DIR"
  fi
}

cmd_status() {
  load_env "$DIR"
  echo "front $FRONT (nginx pid $(cat "$DIR/front/nginx.pid" 2>/dev/null || echo -))"
  for i in $(seq "$NODES"); do
    local var="NODE_$i" pid
    pid=$(node_pid "$i")
    if alive "$pid"; then echo "node $i ${!var} pid $pid"; else echo "node $i ${!var} down"; fi
  done
  [ -z "$PG_URL" ] || echo "PostgreSQL $PG_URL"
}

[ $# -ge 1 ] || { usage >&2; exit 2; }
ACTION=$1; shift
case "$ACTION" in
  -h|--help) usage; exit 0 ;;
esac
[ $# -ge 1 ] || { usage >&2; exit 2; }
DIR=$1; shift
case "$ACTION" in
  start) cmd_start "$@" ;;
  stop) cmd_stop "$@" ;;
  status) cmd_status ;;
  kill-node|stop-node|start-node)
    [ $# -eq 1 ] || die "$ACTION DIR I"
    load_env "$DIR"
    if [ "$1" = all ] && [ "$ACTION" != kill-node ]; then
      which=$(seq "$NODES")
    else
      [[ "$1" =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] && [ "$1" -le "$NODES" ] || die "no node $1 (1..$NODES)"
      which=$1
    fi
    case "$ACTION" in
      kill-node)
        pid=$(node_pid "$1")
        alive "$pid" || die "node $1 is not running"
        kill -KILL "$pid"
        for _ in $(seq 100); do alive "$pid" || exit 0; sleep 0.05; done
        die "node $1 (pid $pid) survived SIGKILL"
        ;;
      stop-node)
        for i in $which; do stop_node "$i"; done
        ;;
      start-node)
        started=()
        for i in $which; do
          if [ "$1" = all ] && alive "$(node_pid "$i")"; then continue; fi
          start_node "$i"
          started+=("$i")
        done
        for i in "${started[@]}"; do
          wait_node "$i"
          var="NODE_$i"
          echo "cluster: node $i serves on ${!var}"
        done
        ;;
    esac
    ;;
  *) usage >&2; exit 2 ;;
esac
