#!/usr/bin/env bash
# Screenshots of the real program for the README: the start screen and the
# settings dialog, taken under Xvfb with a demo bank running.
#   scripts/readme-shots.sh [OUTPUT_DIR]      (default docs/)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${1:-$ROOT/docs}
BIN="$ROOT/${TVPB_BUILD_DIR:-build}/bin"
DEMO=$(mktemp -d)
DEMO_INIT_FLAGS=--fast-hash
. scripts/demo-bank.sh
mkdir -p "$OUT"
BANKD="" XVFB="" CLIENT=""
trap 'kill $CLIENT $XVFB 2>/dev/null || true; stop_demo_bank; rm -rf "$DEMO"' EXIT
start_demo_bank
start_xvfb
"$BIN/TavrinPdaBanking" >/dev/null 2>&1 &
CLIENT=$!
sleep 3
import -window root "$OUT/start-screen.png"
# The settings button sits at (25,234) 90x24 on the work area, below the 26-pixel title bar.
xdotool mousemove 70 272 click 1
sleep 1
import -window root "$OUT/settings-dialog.png"
echo "Screenshots: $OUT/start-screen.png $OUT/settings-dialog.png"
