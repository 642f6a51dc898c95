#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
BUILD_DIR=${TVPB_BUILD_DIR:-build}
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)"
