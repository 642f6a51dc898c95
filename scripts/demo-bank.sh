# Sourced by run.sh and readme-shots.sh: creates the demo bank once in $DEMO and
# starts bankd on a free loopback port. Sets TVPB_HOME, TVPB_DEPLOY, BANKD, PORT.
# Needs BIN (the program folder) and DEMO (the demo folder).
start_demo_bank() {
  export TVPB_HOME="$DEMO/home"
  export TVPB_DEPLOY="$DEMO/deploy.ini"
  mkdir -p "$DEMO" "$TVPB_HOME"
  if [ ! -f "$DEMO/bank/bankd.db" ]; then
    echo "== Creating the demo bank in $DEMO/bank"
    "$BIN/bankd" init --data "$DEMO/bank" --demo ${DEMO_INIT_FLAGS:-} --home "$TVPB_HOME" \
      --deploy "$TVPB_DEPLOY" > "$DEMO/credentials.txt"
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
