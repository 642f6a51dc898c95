#!/usr/bin/env bash
# The main job: installs what is missing, builds, initialises a demo bank (once),
# starts bankd on a free loopback port and runs the client against it.
# Without a display the client runs under Xvfb and a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
bash scripts/deps.sh
bash scripts/build.sh
BUILD_DIR=${TVPB_BUILD_DIR:-build}
BIN="$ROOT/$BUILD_DIR/bin"
DEMO=${TVPB_DEMO_DIR:-$ROOT/demo}
export TVPB_HOME="$DEMO/home"
export TVPB_DEPLOY="$DEMO/deploy.ini"
mkdir -p "$DEMO" "$TVPB_HOME"

if [ ! -f "$DEMO/bank/bankd.db" ]; then
  echo "== Creating the demo bank in $DEMO/bank"
  "$BIN/bankd" init --data "$DEMO/bank" --demo --home "$TVPB_HOME" --deploy "$TVPB_DEPLOY" | tee "$DEMO/credentials.txt"
else
  echo "== Demo bank: $DEMO/bank (credentials: $DEMO/credentials.txt)"
  cat "$DEMO/credentials.txt" 2>/dev/null || true
fi

PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
# The client finds the bank through deploy.ini; point it at this run's port.
sed -i -e "s/^server_host=.*/server_host=127.0.0.1:$PORT/" -e "s/^host=.*/host=127.0.0.1:$PORT/" "$TVPB_DEPLOY"
"$BIN/bankd" serve --data "$DEMO/bank" --listen "127.0.0.1:$PORT" >"$DEMO/bankd.log" 2>&1 &
BANKD=$!
XVFB=""
cleanup() {
  kill "$BANKD" 2>/dev/null || true
  wait "$BANKD" 2>/dev/null || true
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
  curl -fs "http://127.0.0.1:$PORT/download/compaq/TVPB_Version.info" >/dev/null 2>&1 && break
  sleep 0.1
done
echo "== bankd listens on 127.0.0.1:$PORT (log: $DEMO/bankd.log)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  SHOT="$DEMO/screenshot.png"
  Xvfb :77 -screen 0 480x400x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB=$!
  sleep 1
  echo "== No display: running the client under Xvfb; screenshot -> $SHOT"
  DISPLAY=:77 timeout "${TVPB_XVFB_SECONDS:-15}" "$BIN/TavrinPdaBanking" --shot "$SHOT" || true
  echo "== Screenshot of the start screen: $SHOT"
else
  "$BIN/TavrinPdaBanking"
fi
