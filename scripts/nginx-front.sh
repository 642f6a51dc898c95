#!/usr/bin/env bash
# nginx as the front of one or more bankd processes, from the template
# deploy/nginx/bankd-front.conf.in. Everything nginx writes (configuration, pid,
# logs, temporary folders) lives in one runtime folder, so it runs as a normal
# user; started as root, its workers run as nobody.
#
#   scripts/nginx-front.sh config --listen HOST:PORT --upstream HOST:PORT [--upstream ...] --runtime DIR
#       writes DIR/nginx.conf (and checks it with nginx -t)
#   scripts/nginx-front.sh start  --listen HOST:PORT --upstream HOST:PORT [--upstream ...] --runtime DIR
#       writes the configuration, starts nginx and waits until it accepts connections
#   scripts/nginx-front.sh stop   --runtime DIR
#       stops the nginx of DIR (graceful, then forced after 10 s) and waits for it
#
# Options:
#   --upstream A       one bankd address; repeat it, or give a list: --upstream "A,B,C"
#   --workers N        nginx worker processes (default 1)
#   --header-timeout S seconds for a whole request line and header block (default 5)
#   --body-timeout S   seconds between two reads of a body (default 5)
# Settings (environment): TVPB_NGINX, the nginx program (default: nginx on PATH or /usr/sbin/nginx).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
TEMPLATE="$ROOT/deploy/nginx/bankd-front.conf.in"

usage() { sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; }
die() { echo "nginx-front.sh: $*" >&2; exit 2; }

NGINX=${TVPB_NGINX:-$(command -v nginx || echo /usr/sbin/nginx)}
[ $# -ge 1 ] || { usage >&2; exit 2; }
ACTION=$1; shift
case "$ACTION" in
  config|start|stop) ;;
  -h|--help) usage; exit 0 ;;
  *) usage >&2; exit 2 ;;
esac

LISTEN="" RUNTIME="" WORKERS=1 HEADER_TIMEOUT=5 BODY_TIMEOUT=5
UPSTREAMS=()
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || die "$1 wants a value"
  case "$1" in
    --listen) LISTEN=$2 ;;
    --upstream) IFS=', ' read -r -a more <<<"$2"; UPSTREAMS+=("${more[@]}") ;;
    --runtime) RUNTIME=$2 ;;
    --workers) WORKERS=$2 ;;
    --header-timeout) HEADER_TIMEOUT=$2 ;;
    --body-timeout) BODY_TIMEOUT=$2 ;;
    *) die "unknown argument: $1" ;;
  esac
  shift 2
done
[ -n "$RUNTIME" ] || die "--runtime DIR is needed"
mkdir -p "$RUNTIME"
RUNTIME=$(cd "$RUNTIME" && pwd)
CONF="$RUNTIME/nginx.conf"

nginx_pid() {
  local pid
  pid=$(cat "$RUNTIME/nginx.pid" 2>/dev/null || true)
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then echo "$pid"; fi
}

if [ "$ACTION" = stop ]; then
  pid=$(nginx_pid)
  [ -n "$pid" ] || exit 0
  kill -QUIT "$pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || exit 0; sleep 0.1; done
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || exit 0; sleep 0.1; done
  echo "nginx-front.sh: nginx $pid did not stop" >&2
  exit 1
fi

hostport() { [[ "$1" =~ ^[^[:space:]\;\{\}]+:[0-9]{1,5}$ ]]; }
hostport "$LISTEN" || die "--listen wants HOST:PORT, not \"$LISTEN\""
[ ${#UPSTREAMS[@]} -gt 0 ] || die "at least one --upstream HOST:PORT is needed"
for u in "${UPSTREAMS[@]}"; do hostport "$u" || die "--upstream wants HOST:PORT, not \"$u\""; done
for n in "$WORKERS" "$HEADER_TIMEOUT" "$BODY_TIMEOUT"; do
  [[ "$n" =~ ^[1-9][0-9]{0,3}$ ]] || die "--workers and timeouts want a whole number, not \"$n\""
done

mkdir -p "$RUNTIME/logs" "$RUNTIME/tmp"
USER_LINE=""
if [ "$(id -u)" -eq 0 ]; then
  # The master stays root (it opens the logs); workers give up root. They never
  # write a file: bodies and replies are buffered in memory.
  group=$(id -gn nobody 2>/dev/null || echo nogroup)
  USER_LINE="user nobody $group;"
fi
SERVERS=""
for u in "${UPSTREAMS[@]}"; do
  SERVERS+="        server $u max_fails=1 fail_timeout=2s;"$'\n'
done
SERVERS=${SERVERS%$'\n'}

awk -v user="$USER_LINE" -v workers="$WORKERS" -v runtime="$RUNTIME" -v listen="$LISTEN" \
    -v ht="$HEADER_TIMEOUT" -v bt="$BODY_TIMEOUT" -v servers="$SERVERS" '
  /^@UPSTREAM_SERVERS@$/ { print servers; next }
  {
    gsub(/@USER_LINE@/, user); gsub(/@WORKERS@/, workers); gsub(/@RUNTIME@/, runtime)
    gsub(/@LISTEN@/, listen); gsub(/@HEADER_TIMEOUT@/, ht); gsub(/@BODY_TIMEOUT@/, bt)
    print
  }' "$TEMPLATE" > "$CONF.new"
mv "$CONF.new" "$CONF"
if ! "$NGINX" -t -q -p "$RUNTIME" -c "$CONF" -e "$RUNTIME/logs/error.log"; then
  die "nginx refuses $CONF"
fi
[ "$ACTION" = config ] && { echo "$CONF"; exit 0; }

[ -z "$(nginx_pid)" ] || die "an nginx already runs for $RUNTIME (pid $(nginx_pid)); stop it first"
"$NGINX" -p "$RUNTIME" -c "$CONF" -e "$RUNTIME/logs/error.log"
host=${LISTEN%:*} port=${LISTEN##*:}
if [ "$host" = "*" ] || [ "$host" = "0.0.0.0" ]; then host=127.0.0.1; fi
# nginx returned once its master listens; a loaded machine may still take a
# while to write the pid file and accept, so the bound is generous.
deadline=$((SECONDS + 60))
while [ "$SECONDS" -lt "$deadline" ]; do
  if [ -n "$(nginx_pid)" ] && (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null; then
    echo "nginx front http://$LISTEN -> ${UPSTREAMS[*]} (pid $(nginx_pid), runtime $RUNTIME)"
    exit 0
  fi
  sleep 0.1
done
echo "nginx-front.sh: nginx did not start; see $RUNTIME/logs/error.log" >&2
exit 1
