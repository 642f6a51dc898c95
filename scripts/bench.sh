#!/usr/bin/env bash
# Performance figures side by side, each beside its yardstick measured in the same
# run on the same machine, and the targets:
#
#   scripts/bench.sh [section...]      (default: every section, in this order)
#
#   inquiry  nginx serving a small static file vs bankd answering an encrypted
#            account inquiry (PDA_U002, logged-in sessions) on its own port
#            (and, for comparison, through the serve path's nginx front): req/s, p50, p99;
#            the same load generator (bankd_load), clients and duration for both,
#            keep-alive on both with the same requests per connection
#   durable  raw SQLite single-row commits/s (WAL, synchronous=FULL, one thread)
#            vs bankd's durable executed transfers/s (PDA_T001 + PDA_T002 pairs,
#            books checked), both on the same disk, each measured twice,
#            alternating; the higher of each pair counts
#   cycle    the client's request cycle (encrypt, HTTP, decrypt, read) p50/p99
#            against the bank, through the logged-in client session
#   start    client start to its start screen vs a bare Qt dialog (offscreen,
#            repeated runs, medians)
#   rss      the client's resident memory in each module (the client's shell
#            logs in on the start screen and opens every module; VmRSS, VmHWM)
#   cluster  encrypted inquiries (PDA_U002) and durable executed transfers per
#            second through the nginx front with 1, 2 and 3 bankd nodes on
#            PostgreSQL, beside one node on SQLite behind the same front
#            (scripts/cluster.sh; the nodes share the cores with PostgreSQL,
#            nginx and the load: the shape of the curve, not a speed-up)
#
# Settings (environment): BENCH_SECONDS (load duration, default 5), BENCH_CLIENTS
# (concurrent clients, default 8), BENCH_STARTS (start-up runs, default 20),
# TVPB_BUILD_DIR (default build). It builds what it needs (Release) first.
# Benchmarks measure a shared machine: other load shows in the figures; the
# load average is printed with them.
#
# Adding a section: write section_NAME (it runs with the demo bank up when it
# calls need_bank) that calls add_row for its figures, and add NAME to SECTIONS.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${TVPB_BUILD_DIR:-build}
BIN="$ROOT/$BUILD/bin"
BENCH="$ROOT/$BUILD/bench"
SECONDS_LOAD=${BENCH_SECONDS:-5}
CLIENTS=${BENCH_CLIENTS:-8}
STARTS=${BENCH_STARTS:-20}
SECTIONS=(inquiry durable cycle start rss cluster)

usage() { sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; }
WANTED=()
for a in "$@"; do
  case "$a" in
    -h|--help) usage; exit 0 ;;
    *) if [[ " ${SECTIONS[*]} " == *" $a "* ]]; then WANTED+=("$a"); else
         echo "bench.sh: unknown section: $a (sections: ${SECTIONS[*]})" >&2; exit 2; fi ;;
  esac
done
[ ${#WANTED[@]} -gt 0 ] || WANTED=("${SECTIONS[@]}")

# ---- the table -------------------------------------------------------------
ROWS=()
# add_row FIGURE MEASURED YARDSTICK RATIO TARGET MET
add_row() { ROWS+=("$1|$2|$3|$4|$5|$6"); }
# ratio A B -> A/B with two decimals
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
# meets RATIO OP LIMIT -> yes/NO
meets() { awk -v r="$1" -v op="$2" -v l="$3" 'BEGIN { ok = (op == ">=") ? r >= l : (op == "<=") ? r <= l : r < l; print ok ? "yes" : "NO" }'; }
# field NAME LINE -> the value of NAME=VALUE in LINE (units stripped)
field() { sed -n "s/.*\\b$1=\\([0-9.]*\\).*/\\1/p" <<<"$2" | head -1; }

print_table() {
  local w1=34 w2=34 w3=36 w4=7 w5=9
  printf '\n%-*s | %-*s | %-*s | %-*s | %-*s | %s\n' $w1 "figure" $w2 "bankd / client" $w3 "yardstick" $w4 "ratio" $w5 "target" "met"
  printf '%s\n' "$(printf '%*s' $((w1 + w2 + w3 + w4 + w5 + 19)) '' | tr ' ' -)"
  local r
  for r in "${ROWS[@]}"; do
    IFS='|' read -r a b c d e f <<<"$r"
    printf '%-*s | %-*s | %-*s | %-*s | %-*s | %s\n' $w1 "$a" $w2 "$b" $w3 "$c" $w4 "$d" $w5 "$e" "$f"
  done
}

# ---- build and the run folder ----------------------------------------------
echo "== Building (Release) what the benchmarks need"
bash scripts/build.sh --target bankd bankd_load sqlite_commits TavrinPdaBanking tvpb_registry \
  tvpb_bare_dialog tvpb_startup_bench tvpb_module_walk >/dev/null
RUN=$(mktemp -d "$ROOT/$BUILD/bench-run.XXXXXX")
BANKD=""
NGINX=""
CLUSTER_DIR=""
cleanup() {
  [ -n "$CLUSTER_DIR" ] && bash scripts/cluster.sh stop "$CLUSTER_DIR" >/dev/null 2>&1 || true
  [ -n "$NGINX" ] && kill "$NGINX" 2>/dev/null && wait "$NGINX" 2>/dev/null || true
  [ -n "$BANKD" ] && kill "$BANKD" 2>/dev/null && wait "$BANKD" 2>/dev/null || true
  rm -rf "$RUN"
}
trap cleanup EXIT
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }

# A fresh demo bank (bankd init --demo) served on a free loopback port, once.
DEMO="$RUN/demo"
need_bank() {
  [ -n "$BANKD" ] && return 0
  . scripts/demo-bank.sh
  # Each inquiry load logs its clients in as the demo customer, more often in
  # one minute than bankd.ini's per-user login limit lets (logged-in
  # inquiries are not rate limited: the figures do not depend on it).
  DEMO_LOGIN_LIMIT=0 start_demo_bank >/dev/null
  # The demo customer (bankd init --demo).
  DEMO_USER=DEMOS
  DEMO_PASSWORD=1111
}

# The client's walk through its modules (rss and cycle share one run).
WALK=""
need_walk() {
  [ -n "$WALK" ] && return 0
  need_bank
  WALK=$(TVPB_PROGRAM_DIR="$BIN" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$RUN" \
    "$BENCH/tvpb_module_walk" "$DEMO_USER" "$DEMO_PASSWORD" 300 2>"$RUN/walk.err") || {
    cat "$RUN/walk.err" >&2
    echo "bench.sh: the module walk failed" >&2
    return 1
  }
}

# ---- sections ----------------------------------------------------------------
section_inquiry() {
  need_bank
  # nginx: a 1 KiB static file, as many workers as cores, its access log on (bankd
  # writes one too), the same requests per keep-alive connection as bankd (100).
  local nx="$RUN/nginx" port
  port=$(free_port)
  mkdir -p "$nx/www" "$nx/logs" "$nx/tmp"
  head -c 1024 /dev/urandom | base64 -w 76 | head -c 1024 >"$nx/www/static.txt"
  chmod -R a+rX "$nx"
  cat >"$nx/nginx.conf" <<EOF
$( [ "$(id -u)" = 0 ] && echo "user root;" )
worker_processes auto;
pid $nx/nginx.pid;
error_log $nx/logs/error.log;
events { worker_connections 1024; }
http {
  access_log $nx/logs/access.log;
  client_body_temp_path $nx/tmp/body;
  proxy_temp_path $nx/tmp/proxy;
  fastcgi_temp_path $nx/tmp/fastcgi;
  uwsgi_temp_path $nx/tmp/uwsgi;
  scgi_temp_path $nx/tmp/scgi;
  keepalive_requests 100;
  keepalive_timeout 5s;
  server {
    listen 127.0.0.1:$port;
    root $nx/www;
  }
}
EOF
  nginx -p "$nx" -c "$nx/nginx.conf" -g 'daemon off;' 2>"$nx/logs/stderr" &
  NGINX=$!
  for _ in $(seq 50); do curl -fs "http://127.0.0.1:$port/static.txt" >/dev/null 2>&1 && break; sleep 0.1; done
  echo "== inquiry: nginx static file, $CLIENTS clients, $SECONDS_LOAD s"
  local n b
  n=$("$BENCH/bankd_load" --port "$port" --mode plain --path /static.txt --clients "$CLIENTS" --seconds "$SECONDS_LOAD")
  echo "   $n"
  kill "$NGINX"; wait "$NGINX" 2>/dev/null || true; NGINX=""
  # bankd itself (its own port), the figure held against the target; then the
  # same load through the serve path's nginx front, for comparison.
  echo "== inquiry: bankd encrypted account inquiry (PDA_U002), $CLIENTS clients, $SECONDS_LOAD s"
  b=$("$BENCH/bankd_load" --port "$BANK_PORT" --data "$DEMO/bank" --mode inquiry --user "$DEMO_USER" \
    --password "$DEMO_PASSWORD" --clients "$CLIENTS" --seconds "$SECONDS_LOAD")
  echo "   $b"
  echo "== inquiry: the same through the nginx front of the serve path"
  local f
  f=$("$BENCH/bankd_load" --port "$PORT" --data "$DEMO/bank" --mode inquiry --user "$DEMO_USER" \
    --password "$DEMO_PASSWORD" --clients "$CLIENTS" --seconds "$SECONDS_LOAD")
  echo "   $f"
  local r
  r=$(ratio "$(field rps "$b")" "$(field rps "$n")")
  add_row "encrypted inquiry (PDA_U002)" "$(field rps "$b") req/s p50 $(field p50 "$b") p99 $(field p99 "$b") ms" \
    "nginx 1 KiB: $(field rps "$n") req/s p50 $(field p50 "$n") p99 $(field p99 "$n")" "${r}x" ">= 0.5x" "$(meets "$r" ">=" 0.5)"
  add_row "  the same through the nginx front" "$(field rps "$f") req/s p50 $(field p50 "$f") p99 $(field p99 "$f") ms" \
    "nginx 1 KiB: $(field rps "$n") req/s" "$(ratio "$(field rps "$f")" "$(field rps "$n")")x" "-" "-"
}

section_durable() {
  need_bank
  # Each side twice, alternating (the disk and the cores are shared, and where
  # the scheduler puts bankd's writer moves a run's figure by a fifth): the
  # higher of each pair counts.
  local s1 s2 t1 t2 cps line r
  echo "== durable: raw SQLite single-row commits (WAL, synchronous=FULL), $SECONDS_LOAD s, in $RUN"
  s1=$("$BENCH/sqlite_commits" "$RUN" "$SECONDS_LOAD")
  echo "   $s1"
  durable_transfers || return 1
  t1=$TRANSFERS
  echo "== durable: raw SQLite commits again"
  s2=$("$BENCH/sqlite_commits" "$RUN" "$SECONDS_LOAD")
  echo "   $s2"
  durable_transfers || return 1
  t2=$TRANSFERS
  cps=$(awk -v a="$(field cps "$s1")" -v b="$(field cps "$s2")" 'BEGIN { print (a > b) ? a : b }')
  line=$(awk -v a="$(field tps "$t1")" -v b="$(field tps "$t2")" 'BEGIN { print (a >= b) ? 1 : 2 }')
  [ "$line" = 1 ] && line=$t1 || line=$t2
  r=$(ratio "$(field tps "$line")" "$cps")
  add_row "durable executed transfers" "$(field tps "$line") /s (pair p50 $(sed -n 's/.*pair p50=\([0-9.]*\).*/\1/p' <<<"$line") ms; higher of 2: $(field tps "$t1"), $(field tps "$t2"))" \
    "raw durable commits: $cps /s (higher of 2: $(field cps "$s1"), $(field cps "$s2"))" "${r}x" ">= 0.5x" "$(meets "$r" ">=" 0.5)"
}

# One transfer load on bankd's own port, as for the inquiries: prints the
# load's report and sets TRANSFERS to its summary line. Fails when the books
# or the acknowledged transfers do not check out.
durable_transfers() {
  local t
  echo "== durable: bankd executed transfers (PDA_T001 + PDA_T002), $CLIENTS clients, $SECONDS_LOAD s"
  t=$("$BENCH/bankd_load" --port "$BANK_PORT" --data "$DEMO/bank" --mode transfer --clients "$CLIENTS" --seconds "$SECONDS_LOAD")
  sed 's/^/   /' <<<"$t"
  grep -qx PASS <<<"$t" || { echo "bench.sh: the transfer load's checks failed" >&2; return 1; }
  TRANSFERS=$(grep '^mode=transfer' <<<"$t")
}

section_cycle() {
  need_walk
  local c
  c=$(grep '^cycle' <<<"$WALK")
  echo "== cycle: $c"
  add_row "client request cycle (PDA_U002)" "p50 $(field p50_ms "$c") ms, p99 $(field p99_ms "$c") ms" "-" "-" "-" "-"
}

section_start() {
  echo "== start: client to its start screen vs a bare Qt dialog, $STARTS runs each"
  local out c b r
  out=$(XDG_RUNTIME_DIR="$RUN" QT_QPA_PLATFORM=offscreen "$BENCH/tvpb_startup_bench" "$STARTS" 2>/dev/null)
  sed 's/^/   /' <<<"$out"
  c=$(grep '^TavrinPdaBanking' <<<"$out")
  b=$(grep '^bare Qt dialog' <<<"$out")
  r=$(ratio "$(field median "$c")" "$(field median "$b")")
  add_row "client start to start screen" "median $(field median "$c") ms" "bare Qt dialog: median $(field median "$b") ms" \
    "${r}x" "<= 1.5x" "$(meets "$r" "<=" 1.5)"
}

section_rss() {
  need_walk
  echo "== rss: the client in each module"
  local line code rss hwm max=0
  while read -r line; do
    code=$(sed -n 's/^module=\([0-9]*\).*/\1/p' <<<"$line")
    rss=$(field rss_kb "$line")
    hwm=$(field hwm_kb "$line")
    echo "   module $code: VmRSS $((rss / 1024)) MB, VmHWM $((hwm / 1024)) MB"
    local mb
    mb=$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')
    add_row "client RSS in module $code" "$mb MB (peak so far $(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }') MB)" \
      "-" "-" "< 60 MB" "$(meets "$mb" "<" 60)"
  done < <(grep '^module=' <<<"$WALK")
}

section_cluster() {
  # The PostgreSQL server's user (postgres, when run as root) passes through RUN.
  chmod 0711 "$RUN"
  local base_rps="" base_tps="" c engine nodes dir front data i t line rps tps label
  for c in "sqlite 1" "postgres 1" "postgres 2" "postgres 3"; do
    read -r engine nodes <<<"$c"
    dir="$RUN/cluster-$engine-$nodes"
    local flags=(--nodes "$nodes" --demo --fast-hash)
    [ "$engine" = sqlite ] && flags+=(--sqlite)
    label="$nodes node$([ "$nodes" -gt 1 ] && echo s) on $([ "$engine" = sqlite ] && echo SQLite || echo PostgreSQL)"
    echo "== cluster: $label behind nginx, $CLIENTS clients, $SECONDS_LOAD s each"
    CLUSTER_DIR="$dir"
    if ! TVPB_BIN="$BIN" bash scripts/cluster.sh start "$dir" "${flags[@]}" >"$RUN/cluster.out" 2>&1; then
      sed 's/^/   /' "$RUN/cluster.out"
      add_row "cluster: $label" "did not start" "-" "-" "-" "NO"
      CLUSTER_DIR=""
      continue
    fi
    front=$(. "$dir/cluster.env" && echo "$FRONT")
    data=$(. "$dir/cluster.env" && echo "$DATA")
    i=$("$BENCH/bankd_load" --port "${front##*:}" --data "$data" --mode inquiry --user DEMOS --password 1111 \
      --clients "$CLIENTS" --seconds "$SECONDS_LOAD" || true)
    echo "   $i"
    t=$("$BENCH/bankd_load" --port "${front##*:}" --data "$data" --mode transfer --clients "$CLIENTS" \
      --seconds "$SECONDS_LOAD" || true)
    sed 's/^/   /' <<<"$t"
    bash scripts/cluster.sh stop "$dir"
    CLUSTER_DIR=""
    line=$(grep '^mode=transfer' <<<"$t" || true)
    rps=$(field rps "$i")
    tps=$(field tps "$line")
    if [ "$engine" = sqlite ]; then base_rps=$rps base_tps=$tps; fi
    add_row "cluster inquiry: $label" "${rps:-?} req/s p50 $(field p50 "$i") p99 $(field p99 "$i") ms" \
      "SQLite 1 node: ${base_rps:-?} req/s" "$(ratio "${rps:-0}" "${base_rps:-0}")x" "-" "-"
    add_row "cluster transfers: $label" "${tps:-?} /s, books $(grep -qx PASS <<<"$t" && echo checked || echo FAILED)" \
      "SQLite 1 node: ${base_tps:-?} /s" "$(ratio "${tps:-0}" "${base_tps:-0}")x" "-" \
      "$(grep -qx PASS <<<"$t" && echo "-" || echo NO)"
  done
}

echo "== $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for s in "${WANTED[@]}"; do
  "section_$s"
done
print_table
echo "(load average at the end: $(cut -d' ' -f1-3 /proc/loadavg))"
