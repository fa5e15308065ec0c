#!/usr/bin/env bash
# The frame benchmarks native and as WebAssembly under Node.js, side by side in one
# run: each benchmark alternately on both, ROUNDS times, and the ratio of the sums.
# Three figures per frame: the mean wall time; the mean processor time and the median
# frame's wall time, both of which a busy machine (other processes taking the processor
# now and then) disturbs far less.
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
# NATIVE_BENCH and WEB_BENCH name other builds of the two programs.
set -euo pipefail
rounds=${1:-3}
nativeProgram=${NATIVE_BENCH:-build-release/bench/bench_frames}
webProgram=${WEB_BENCH:-build-web/bench/bench_frames.js}
for program in "$nativeProgram" "$webProgram"; do
  [[ -f $program ]] || { echo "web_vs_native.sh: $program: not built (make bench-web builds it)" >&2; exit 2; }
done
export NODE_PATH=/usr/share/nodejs
# "WALL CPU MEDIAN", microseconds per frame from either program's report: the wall and
# processor time per iteration and the p50_us counter (which may read 1.2k).
perFrame() {
  "$@" | awk '/^BM_/ {
    n = 0; median = ""
    for (i = 2; i <= NF; i++) {
      if ($i == "us" && n < 2) value[n++] = $(i - 1)
      if ($i ~ /^p50_us=/) {
        median = substr($i, 8)
        if (median ~ /k$/) median = substr(median, 1, length(median) - 1) * 1000
      }
    }
    print value[0], value[1], median; exit }'
}
sum() { echo "$1 + $2" | bc -l; }
printf '%-30s %s\n' "" "microseconds per frame, native / WebAssembly = ratio"
printf '%-30s %-24s %-24s %-24s\n' benchmark "wall time (mean)" "processor time (mean)" "median frame (wall)"
for benchmark in BM_FrameShippedLevel50Beams/ BM_FrameFullLevel10000Beams/1/; do
  native=(0 0 0) web=(0 0 0)
  for _ in $(seq "$rounds"); do
    read -r -a figures < <(perFrame "$nativeProgram" --benchmark_filter="$benchmark" 2>/dev/null)
    for k in 0 1 2; do native[k]=$(sum "${native[k]}" "${figures[k]}"); done
    read -r -a figures < <(perFrame node "$webProgram" --benchmark_filter="$benchmark")
    for k in 0 1 2; do web[k]=$(sum "${web[k]}" "${figures[k]}"); done
  done
  line=$(printf '%-30s' "${benchmark%/}")
  for k in 0 1 2; do
    line+=$(printf ' %6.0f / %6.0f = %4.2f   ' "$(echo "${native[k]} / $rounds" | bc -l)" \
      "$(echo "${web[k]} / $rounds" | bc -l)" "$(echo "${web[k]} / ${native[k]}" | bc -l)")
  done
  echo "$line"
done
