#!/usr/bin/env bash
# Screenshots of the real program for the README: the start screen and the
# settings dialog, taken under Xvfb with the demo bank running.
#   scripts/readme-shots.sh [OUTPUT_DIR]      (default docs/)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${1:-$ROOT/docs}
BIN="$ROOT/${TVPB_BUILD_DIR:-build}/bin"
WORK=$(mktemp -d)
export TVPB_HOME="$WORK/home" TVPB_DEPLOY="$WORK/deploy.ini"
mkdir -p "$OUT" "$TVPB_HOME"
"$BIN/bankd" init --data "$WORK/bank" --demo --fast-hash --home "$TVPB_HOME" --deploy "$TVPB_DEPLOY" >/dev/null
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
sed -i -e "s/^server_host=.*/server_host=127.0.0.1:$PORT/" -e "s/^host=.*/host=127.0.0.1:$PORT/" "$TVPB_DEPLOY"
"$BIN/bankd" serve --data "$WORK/bank" --listen "127.0.0.1:$PORT" >/dev/null 2>&1 &
BANKD=$!
Xvfb :78 -screen 0 240x320x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $CLIENT $BANKD $XVFB 2>/dev/null || true; rm -rf "$WORK"' EXIT
sleep 1
export DISPLAY=:78
"$BIN/TavrinPdaBanking" >/dev/null 2>&1 &
CLIENT=$!
sleep 3
import -window root "$OUT/start-screen.png"
# The settings button sits at (25,234) 90x24 on the work area, below the 26-pixel title bar.
xdotool mousemove 70 272 click 1
sleep 1
import -window root "$OUT/settings-dialog.png"
echo "Screenshots: $OUT/start-screen.png $OUT/settings-dialog.png"
