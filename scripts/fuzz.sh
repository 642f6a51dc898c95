#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs them.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   run each target SECONDS (default 60)
#   scripts/fuzz.sh build                   only build
#   scripts/fuzz.sh merge [TARGET...]       minimise fuzz/corpus/<t> with what the runs found
#   scripts/fuzz.sh seeds [TARGET...]       regenerate the seed-* inputs (normal build)
#   scripts/fuzz.sh list                    the target names
#
# Targets run one after another, or FUZZ_PARALLEL (default 1) at a time, under
# nice (FUZZ_SKIP_BUILD=1 runs what is built). A run starts from fuzz/corpus/<t> and build-fuzz/work/<t> (kept between
# runs); a crash input lands in build-fuzz/artifacts/<t>/ and the log in
# build-fuzz/logs/<t>.log. Each run ends with one summary line (executions, time,
# coverage, features, corpus, crashes); the script fails when any run found one.
# A crash, once fixed, belongs in fuzz/regressions/<t>/ (the test run replays it).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD_DIR=${TVPB_FUZZ_BUILD_DIR:-build-fuzz}
TARGETS=(gateway engine_reply bankd_query bankd_dispatch cqv_parser codepage registry)
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=true

need_clang() {
  local missing=()
  command -v clang++-14 >/dev/null || missing+=(clang-14)
  ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() {
  if [ -n "${FUZZ_SKIP_BUILD:-}" ]; then return; fi
  need_clang
  local flags="-O1 -g -fno-omit-frame-pointer -fno-sanitize-recover=all"
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE= \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DTVPB_FUZZ=ON -DTVPB_SANITIZE=ON -DTVPB_BUILD_BENCHMARKS=OFF >/dev/null
  fi
  local targets=()
  for t in "$@"; do targets+=(--target "fuzz_$t"); done
  nice cmake --build "$BUILD_DIR" -j "${FUZZ_BUILD_JOBS:-$(nproc)}" "${targets[@]}"
}

check_targets() {
  for t in "$@"; do
    case " ${TARGETS[*]} " in *" $t "*) ;; *) echo "unknown target: $t (scripts/fuzz.sh list)" >&2; exit 2 ;; esac
  done
}

# One run: libFuzzer's final figures and the number of crash inputs, on one line.
run_one() {
  local t=$1 seconds=$2
  local work="$BUILD_DIR/work/$t" art="$BUILD_DIR/artifacts/$t" log="$BUILD_DIR/logs/$t.log"
  mkdir -p "$work" "$art" "$BUILD_DIR/logs"
  rm -f "$BUILD_DIR/logs/$t.status"
  local started=$(date +%s) rc=0
  ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  QT_QPA_PLATFORM=offscreen \
    nice "$BUILD_DIR/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$art/" "$work" "fuzz/corpus/$t" >"$log" 2>&1 || rc=$?
  local ended=$(date +%s)
  local last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  local execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  local cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  local ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  local corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$last")
  local crashes=$(find "$art" -type f | wc -l)
  printf '%-15s execs=%s time=%ss cov=%s ft=%s corpus=%s crashes=%s rc=%s\n' \
    "$t" "${execs:-?}" "$((ended - started))" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$crashes" "$rc"
  if [ "$rc" -eq 0 ] && [ "$crashes" -eq 0 ]; then echo ok >"$BUILD_DIR/logs/$t.status"; fi
}

case "${1:-60}" in
  list) printf '%s\n' "${TARGETS[@]}" ;;
  build)
    build "${TARGETS[@]}" ;;
  seeds)
    shift
    check_targets "$@"
    bash scripts/build.sh --target fuzz_seeds >/dev/null
    "${TVPB_BUILD_DIR:-build}/fuzz/fuzz_seeds" fuzz/corpus "$@" ;;
  merge)
    shift
    sel=("$@"); [ ${#sel[@]} -gt 0 ] || sel=("${TARGETS[@]}")
    check_targets "${sel[@]}"
    build "${sel[@]}"
    for t in "${sel[@]}"; do
      fresh="$BUILD_DIR/merged/$t"; rm -rf "$fresh"; mkdir -p "$fresh" "$BUILD_DIR/work/$t"
      # Seeds are kept as they are; the merge adds only what covers more.
      cp fuzz/corpus/$t/seed-* "$fresh/" 2>/dev/null || true
      QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 nice "$BUILD_DIR/fuzz/fuzz_$t" -merge=1 \
        "$fresh" fuzz/corpus/$t "$BUILD_DIR/work/$t" >"$BUILD_DIR/logs/$t.merge.log" 2>&1
      rm -rf "fuzz/corpus/$t"; mv "$fresh" "fuzz/corpus/$t"
      echo "$t: $(ls fuzz/corpus/$t | wc -l) inputs, $(du -sk fuzz/corpus/$t | cut -f1) KiB"
    done ;;
  *)
    seconds=$1; shift || true
    [[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2; }
    sel=("$@"); [ ${#sel[@]} -gt 0 ] || sel=("${TARGETS[@]}")
    check_targets "${sel[@]}"
    build "${sel[@]}"
    parallel=${FUZZ_PARALLEL:-1}
    for t in "${sel[@]}"; do
      while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
      run_one "$t" "$seconds" &
    done
    wait
    failed=0
    for t in "${sel[@]}"; do [ -f "$BUILD_DIR/logs/$t.status" ] || failed=1; done
    exit $failed ;;
esac
