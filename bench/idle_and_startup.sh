#!/usr/bin/env bash
# The player's game on a private X server (Xvfb): time from process start to the
# first presented frame, and processor time per second of wall time while the
# game stands idle. Needs `bash scripts/install-deps.sh x11`.
#
#   [WINDOW_MANAGER=twm] [SCREEN=1920x1080] bash bench/idle_and_startup.sh [GAME] [STARTS] [IDLE_SECONDS]
#
# SCREEN is the size of the virtual screen (default 1024x768).
# GAME defaults to build-release/karnolt (made by `make bench`).
set -euo pipefail

game=${1:-build-release/karnolt}
starts=${2:-7}
idleSeconds=${3:-10}
screen=${SCREEN:-1024x768}
[[ -x $game ]] || { echo "idle_and_startup.sh: $game: no such program (build it first)" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "idle_and_startup.sh: Xvfb missing: bash scripts/install-deps.sh x11" >&2; exit 2; }

work=$(mktemp -d)
server=""
gamePid=""
cleanup() {
  [[ -n $gamePid ]] && kill "$gamePid" 2>/dev/null && wait "$gamePid" 2>/dev/null
  [[ -n ${wmPid:-} ]] && kill "$wmPid" 2>/dev/null && wait "$wmPid" 2>/dev/null
  [[ -n $server ]] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the given descriptor.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 200); do [[ -s $work/display ]] && break; sleep 0.05; done
[[ -s $work/display ]] || { echo "idle_and_startup.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export SDL_VIDEODRIVER=x11
# A desktop has a window manager, which answers the game's full-screen request;
# without one SDL waits for that answer in vain. WINDOW_MANAGER=twm (Debian's twm)
# measures the desktop case.
wmPid=""
if [[ -n ${WINDOW_MANAGER:-} ]]; then
  "$WINDOW_MANAGER" >/dev/null 2>&1 &
  wmPid=$!
  sleep 0.5
fi

nowNs() { date +%s%N; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Starts the game; sets gamePid, and firstFrameMs to the milliseconds until its first frame.
startGame() {
  local log=$1 start
  start=$(nowNs)
  KARNOLT_REPORT_FIRST_FRAME=1 "$game" 2>"$log" &
  gamePid=$!
  for _ in $(seq 400); do
    if grep -q 'first frame presented at' "$log"; then
      local shown
      shown=$(sed -n 's/.*first frame presented at \([0-9]*\)\.\([0-9]*\).*/\1\2/p' "$log" | head -n1)
      firstFrameMs=$(((shown - start) / 1000000))
      return 0
    fi
    sleep 0.01
  done
  echo "idle_and_startup.sh: no first frame within 4 s" >&2
  return 1
}

stopGame() {
  kill -TERM "$gamePid"
  wait "$gamePid" || true
  gamePid=""
}

# Start-up: the first run also warms the disk cache; every run counts.
times=()
for run in $(seq "$starts"); do
  startGame "$work/start$run.log"
  times+=("$firstFrameMs")
  stopGame
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start to first frame (ms), $starts starts: $(echo $sorted | tr '\n' ' ')"
echo "  median $(echo "$sorted" | sed -n "$(((starts + 1) / 2))p") ms (goal: under 150 ms)"

# Idle: no input; measured after two seconds of settling.
startGame "$work/idle.log"
sleep 2
hz=$(getconf CLK_TCK)
gameBefore=$(ticks "$gamePid")
serverBefore=$(ticks "$server")
wallBefore=$(nowNs)
sleep "$idleSeconds"
gameAfter=$(ticks "$gamePid")
serverAfter=$(ticks "$server")
wallAfter=$(nowNs)
stopGame
wallMs=$(((wallAfter - wallBefore) / 1000000))
gamePercent=$(awk -v t=$((gameAfter - gameBefore)) -v hz="$hz" -v ms="$wallMs" 'BEGIN { printf "%.1f", 100 * t / hz / (ms / 1000) }')
serverPercent=$(awk -v t=$((serverAfter - serverBefore)) -v hz="$hz" -v ms="$wallMs" 'BEGIN { printf "%.1f", 100 * t / hz / (ms / 1000) }')
echo "idle game at $screen: ${gamePercent}% of one core over ${wallMs} ms (goal: under 10%); the X server: ${serverPercent}%"
