#!/usr/bin/env bash
# The frame benchmarks native and as WebAssembly under Node.js, side by side in one
# run: each benchmark alternately on both, ROUNDS times, and the ratio of the means.
#
#   bash bench/web_vs_native.sh [ROUNDS]
#
# make bench-web builds both programs and runs this (BENCH_ROUNDS=N for more rounds). By hand
# (Debian's emcc needs Node.js to look in Debian's module folder):
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_BENCH=ON -DKARNOLT_TESTS=OFF
#   cmake --build build-release --target bench_frames
#   export NODE_PATH=/usr/share/nodejs
#   emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_TESTS=OFF -DKARNOLT_BENCH=ON
#   cmake --build build-web --target bench_frames
set -euo pipefail
rounds=${1:-3}
native=build-release/bench/bench_frames
web=build-web/bench/bench_frames.js
for program in "$native" "$web"; do
  [[ -f $program ]] || { echo "web_vs_native.sh: $program: not built (make bench-web builds it)" >&2; exit 2; }
done
export NODE_PATH=/usr/share/nodejs
# Microseconds of wall time per frame, from either program's report.
perFrame() { "$@" | awk '/^BM_/ { for (i = 2; i <= NF; i++) if ($i == "us") { print $(i - 1); exit } }'; }
printf '%-32s %12s %12s %8s\n' benchmark "native (us)" "wasm (us)" ratio
for benchmark in BM_FrameShippedLevel50Beams/ BM_FrameFullLevel10000Beams/1/; do
  nativeSum=0 webSum=0
  for _ in $(seq "$rounds"); do
    nativeSum=$(echo "$nativeSum + $(perFrame "$native" --benchmark_filter="$benchmark" 2>/dev/null)" | bc -l)
    webSum=$(echo "$webSum + $(perFrame node "$web" --benchmark_filter="$benchmark")" | bc -l)
  done
  printf '%-32s %12.0f %12.0f %8.2f\n' "${benchmark%/}" "$(echo "$nativeSum / $rounds" | bc -l)" \
    "$(echo "$webSum / $rounds" | bc -l)" "$(echo "$webSum / $nativeSum" | bc -l)"
done
