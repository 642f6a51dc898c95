#!/usr/bin/env bash
# The main job: installs what is missing, builds, initialises a demo bank (once),
# starts bankd on a free loopback port and runs the client against it; the bank
# stops when the client exits. Without a display the client runs under Xvfb and
# a screenshot of what it shows is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
bash scripts/deps.sh
bash scripts/build.sh
BIN="$ROOT/${TVPB_BUILD_DIR:-build}/bin"
DEMO=${TVPB_DEMO_DIR:-$ROOT/demo}
. scripts/demo-bank.sh

BANKD=""
XVFB=""
cleanup() {
  [ -n "$BANKD" ] && kill "$BANKD" 2>/dev/null && wait "$BANKD" 2>/dev/null || true
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
start_demo_bank
cat "$DEMO/credentials.txt"
echo "== bankd listens on 127.0.0.1:$PORT (log: $DEMO/bankd.log)"
echo "== On the start screen choose 환경설정 -> LAN once, then log in with the credentials above."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  SHOT="$DEMO/screenshot.png"
  Xvfb :77 -screen 0 240x320x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB=$!
  sleep 1
  echo "== No display: running the client under Xvfb for ${TVPB_XVFB_SECONDS:-15} s"
  DISPLAY=:77 timeout "${TVPB_XVFB_SECONDS:-15}" "$BIN/TavrinPdaBanking" --shot "$SHOT" || true
  echo "== Screenshot of what the client showed: $SHOT"
else
  "$BIN/TavrinPdaBanking"
fi
