#!/usr/bin/env bash
# Configures (once) and builds the suite into build/ (program folder: build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${TVPB_BUILD_DIR:-build}
# ccache hits across clones in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=true
WERROR=OFF
if [ "${CI:-}" = "true" ]; then WERROR=ON; fi
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTVPB_WERROR=$WERROR
else
  cmake "$BUILD_DIR" -DTVPB_WERROR=$WERROR >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" "$@"
