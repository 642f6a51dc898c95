#!/usr/bin/env bash
# The main job: installs what is missing, builds, initialises a demo bank (once),
# starts bankd on a loopback port behind an nginx front, runs the client against
# it through the updater TVPB_VUP (which installs what the bank has published,
# then starts the client); bank and front stop when the client exits.
#   bankd publish --data demo/bank --file F --version V   publishes a newer file
#
#   scripts/run.sh               run the client on this display ($DISPLAY)
#   scripts/run.sh --shot FILE   run it headless under Xvfb, save a PNG of the
#                                start screen to FILE, then stop
#   scripts/run.sh --help
#
# Settings (environment):
#   TVPB_DEMO_DIR       demo folder: bank data, client home, deploy.ini,
#                       credentials.txt, bankd.log (default: demo/)
#   TVPB_BUILD_DIR      build folder; the program folder is its bin/ (default: build)
#   TVPB_XVFB_SECONDS   how long a headless run lasts (default: 15)
#
# Without a display the client cannot be used by hand (nobody can tap it): the
# run is a headless one that saves a screenshot. To use the client, run this on
# a desktop, over "ssh -X", or inside a VNC session.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

usage() { sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; }
SHOT=""
while [ $# -gt 0 ]; do
  case "$1" in
    --shot) [ $# -ge 2 ] || { usage >&2; exit 2; }; SHOT=$2; shift 2 ;;
    --shot=*) SHOT=${1#--shot=}; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "run.sh: unknown argument: $1" >&2; usage >&2; exit 2 ;;
  esac
done

bash scripts/deps.sh
bash scripts/build.sh
BIN="$ROOT/${TVPB_BUILD_DIR:-build}/bin"
DEMO=${TVPB_DEMO_DIR:-$ROOT/demo}
SECONDS_HEADLESS=${TVPB_XVFB_SECONDS:-15}
. scripts/demo-bank.sh

BANKD=""
XVFB=""
# The updater starts the client on its own and ends; the run lasts while the client runs.
wait_for_client() {
  while pgrep -f "^$BIN/TavrinPdaBanking" >/dev/null 2>&1; do sleep 0.5; done
}
cleanup() {
  stop_demo_bank
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
start_demo_bank
cat "$DEMO/credentials.txt"
echo "== The bank answers at 127.0.0.1:$PORT: nginx (logs: $NGINX_RUNTIME/logs) in front of bankd on 127.0.0.1:$BANK_PORT (log: $DEMO/bankd.log)"

HEADLESS=""
if [ -n "$SHOT" ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
  HEADLESS=1
fi

if [ -z "$HEADLESS" ]; then
  echo "== The demo home connects over LAN (환경설정 changes it); log in with the credentials above."
  echo "== A user locked by wrong passwords: $BIN/bankd unlock --data $DEMO/bank --user USERID"
  "$BIN/TVPB_VUP"
  wait_for_client
  exit 0
fi

if [ -z "$SHOT" ]; then
  SHOT="$DEMO/screenshot.png"
  echo "== No display: the client cannot be used by hand here. It runs headless under Xvfb for"
  echo "   $SECONDS_HEADLESS s (TVPB_XVFB_SECONDS) and a screenshot is saved. To use the client, run"
  echo "   scripts/run.sh on a desktop, over \"ssh -X\", or in a VNC session (scripts/run.sh --help)."
fi
start_xvfb
echo "== Headless run on display $DISPLAY for $SECONDS_HEADLESS s"
# The updater passes --shot on to the client it starts.
timeout "$SECONDS_HEADLESS" "$BIN/TVPB_VUP" --shot "$SHOT" || true
timeout "$SECONDS_HEADLESS" bash -c "$(declare -f wait_for_client); BIN='$BIN' wait_for_client" || true
if [ -f "$SHOT" ]; then
  echo "== Screenshot of what the client showed: $SHOT"
else
  echo "== No screenshot was taken (the client did not show a screen within $SECONDS_HEADLESS s)" >&2
  exit 1
fi
