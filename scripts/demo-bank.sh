# Sourced by run.sh and readme-shots.sh: creates the demo bank once in $DEMO and
# starts bankd on a free loopback port (start_demo_bank: sets TVPB_HOME,
# TVPB_DEPLOY, BANKD, PORT), and starts Xvfb on a free display (start_xvfb: sets
# XVFB and DISPLAY). Needs BIN (the program folder) and DEMO (the demo folder).
start_demo_bank() {
  export TVPB_HOME="$DEMO/home"
  export TVPB_DEPLOY="$DEMO/deploy.ini"
  mkdir -p "$DEMO" "$TVPB_HOME"
  if [ ! -f "$DEMO/bank/bankd.db" ]; then
    echo "== Creating the demo bank in $DEMO/bank"
    "$BIN/bankd" init --data "$DEMO/bank" --demo ${DEMO_INIT_FLAGS:-} --home "$TVPB_HOME" \
      --deploy "$TVPB_DEPLOY" > "$DEMO/credentials.txt"
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
  PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
  # The client finds the bank through deploy.ini; point it at this run's port.
  sed -i -e "s/^server_host *=.*/server_host=127.0.0.1:$PORT/" -e "s/^host *=.*/host=127.0.0.1:$PORT/" "$TVPB_DEPLOY"
  "$BIN/bankd" serve --data "$DEMO/bank" --listen "127.0.0.1:$PORT" >"$DEMO/bankd.log" 2>&1 &
  BANKD=$!
  for _ in $(seq 100); do
    curl -fs "http://127.0.0.1:$PORT/download/compaq/TVPB_Version.info" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "bankd did not start; see $DEMO/bankd.log" >&2
  return 1
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
