# Sourced by run.sh and readme-shots.sh: creates the demo bank once in $DEMO,
# starts bankd on a free loopback port behind an nginx front on another one
# (start_demo_bank: sets TVPB_HOME, TVPB_DEPLOY, BANKD, BANK_PORT, PORT - the
# front's port, the one the client uses - and NGINX_RUNTIME; stop_demo_bank stops
# both), and starts Xvfb on a free display (start_xvfb: sets XVFB and DISPLAY).
# Needs BIN (the program folder) and DEMO (the demo folder).
DEMO_BANK_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
start_demo_bank() {
  export TVPB_HOME="$DEMO/home"
  export TVPB_DEPLOY="$DEMO/deploy.ini"
  mkdir -p "$DEMO" "$TVPB_HOME"
  if [ ! -f "$DEMO/bank/bankd.db" ]; then
    echo "== Creating the demo bank in $DEMO/bank"
    "$BIN/bankd" init --data "$DEMO/bank" --demo ${DEMO_INIT_FLAGS:-} --home "$TVPB_HOME" \
      --deploy "$TVPB_DEPLOY" > "$DEMO/credentials.txt"
    # DEMO_LOGIN_LIMIT: the demo customer's logins per minute (bankd.ini's
    # per_user; 0: none), for benchmarks that log many clients in.
    if [ -n "${DEMO_LOGIN_LIMIT:-}" ]; then
      sed -i "s/^per_user=.*/per_user=$DEMO_LOGIN_LIMIT/" "$DEMO/bank/bankd.ini"
    fi
  fi
  # The demo home connects over LAN and lets the updater check the bank's release
  # first (what the settings dialog stores for LAN with its updater box on).
  if [ ! -d "$TVPB_HOME/registry" ]; then
    local key='SOFTWARE\Corvane\TavrinBank_PdaBanking\TVPB_1100'
    "$BIN/tvpb_registry" set-number local "$key" Network_Connect_Option 0
    "$BIN/tvpb_registry" set-number local "$key" Equal_VUP 1
  fi
  # A simulated phone book with one modem entry per carrier, for the settings dialog.
  if [ ! -f "$TVPB_HOME/rasbook.ini" ]; then
    cat > "$TVPB_HOME/rasbook.ini" <<'INI'
[device:AnyCell CDMA]
type=modem
[entry:SKT 모뎀]
device=AnyCell CDMA
delay=2000
[entry:KTF 모뎀]
device=AnyCell CDMA
delay=2000
[entry:LGT 모뎀]
device=AnyCell CDMA
delay=2000
INI
  fi
  # Two free loopback ports: bankd's, and the nginx front's that the client uses.
  # A port found free may be taken by another program before bankd binds it;
  # bankd then exits at once saying so, and the start is tried on fresh ports.
  local up="" attempt
  for attempt in 1 2 3; do
    read -r BANK_PORT PORT < <(python3 -c 'import socket
ss = [socket.socket() for _ in range(2)]
for s in ss: s.bind(("127.0.0.1", 0))
print(*[s.getsockname()[1] for s in ss])')
    "$BIN/bankd" serve --data "$DEMO/bank" --listen "127.0.0.1:$BANK_PORT" --trusted-front 127.0.0.1 >"$DEMO/bankd.log" 2>&1 &
    BANKD=$!
    # Ready when it answers; on a loaded machine that may take long, so the
    # wait ends on bankd's answer or its exit, with a generous bound.
    local deadline=$((SECONDS + ${DEMO_START_SECONDS:-60}))
    while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$BANKD" 2>/dev/null; do
      if curl -fs -m 10 "http://127.0.0.1:$BANK_PORT/download/compaq/TVPB_Version.info" >/dev/null 2>&1; then
        up=1
        break
      fi
      sleep 0.1
    done
    [ -n "$up" ] && break
    kill -0 "$BANKD" 2>/dev/null && break  # still running but silent: no retry
    wait "$BANKD" 2>/dev/null
    BANKD=""
    grep -q "address in use" "$DEMO/bankd.log" || break
  done
  if [ -z "$up" ]; then
    echo "bankd did not start; see $DEMO/bankd.log:" >&2
    cat "$DEMO/bankd.log" >&2
    return 1
  fi
  # The client finds the bank through deploy.ini; point it at this run's front.
  sed -i -e "s/^server_host *=.*/server_host=127.0.0.1:$PORT/" -e "s/^host *=.*/host=127.0.0.1:$PORT/" "$TVPB_DEPLOY"
  # nginx buffers every request whole before bankd sees it (slow clients hold
  # no bankd worker); its configuration, pid and logs are in $DEMO/nginx.
  NGINX_RUNTIME="$DEMO/nginx"
  if ! bash "$DEMO_BANK_SCRIPTS/nginx-front.sh" start --listen "127.0.0.1:$PORT" \
      --upstream "127.0.0.1:$BANK_PORT" --runtime "$NGINX_RUNTIME" >/dev/null; then
    echo "the nginx front did not start; see $NGINX_RUNTIME/logs/error.log" >&2
    return 1
  fi
}

# Stops the front and the bank of start_demo_bank (each only if it was started).
stop_demo_bank() {
  if [ -n "${NGINX_RUNTIME:-}" ]; then
    bash "$DEMO_BANK_SCRIPTS/nginx-front.sh" stop --runtime "$NGINX_RUNTIME" || true
    NGINX_RUNTIME=""
  fi
  if [ -n "${BANKD:-}" ]; then
    kill "$BANKD" 2>/dev/null && wait "$BANKD" 2>/dev/null || true
    BANKD=""
  fi
}

# Xvfb on the first free display number (Xvfb picks it and reports it).
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 240x320x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB=$!
  local number=""
  read -r -t 10 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}
