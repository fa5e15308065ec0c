#!/usr/bin/env bash
# The player's game where nobody could see it, or where it cannot start: it says so
# in one line and ends with status 1, never running on unseen. Run under xvfb-run.
set -u
game=$1
source_dir=$2
# Only a sanitizer report with a frame of our own counts (system libraries keep blocks).
export LSAN_OPTIONS=exitcode=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
fail() {
  failed=$((failed + 1))
  echo "FAILED: $1; output: $(head -c 600 "$work/err")"
}
ours_blamed() { grep -qF " $source_dir/" "$work/err"; }

# expect NAME PATTERN -- command...: status 1 within the timeout, and the one line of the
# game's own is PATTERN.
expect() {
  local name=$1 pattern=$2
  shift 3
  timeout 20 "$@" >"$work/err" 2>&1
  local status=$?
  if [[ $status -eq 1 && $(grep -c '^karnolt:' "$work/err") -eq 1 ]] && grep -qE "^karnolt: $pattern" "$work/err" &&
    ! ours_blamed; then
    passed=$((passed + 1))
  else
    fail "$name: status $status"
  fi
}
no_screen='the screen cannot be opened \(no graphical desktop\?\)$'
expect "an unknown video driver" "$no_screen" -- env -u DISPLAY SDL_VIDEODRIVER=nonexistent "$game"
expect "no display" "$no_screen" -- env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game"
expect "a refused X authorisation" "$no_screen" -- env -u SDL_VIDEODRIVER XAUTHORITY=/nonexistent "$game"

# A pipe named as the level: refused, not read. The reason is shown in a box on the
# X display, and a signal ends the game while it waits there.
mkdir "$work/pipe" && mkfifo "$work/pipe/Level1.bmp"
(cd "$work/pipe" && exec env SDL_VIDEODRIVER=x11 "$game") >"$work/err" 2>&1 &
pid=$!
# The reason goes to standard error as the game window closes, just before the box shows.
for _ in $(seq 200); do
  grep -q '^karnolt:' "$work/err" && xdotool search --onlyvisible --name '^Karnolt$' >/dev/null 2>&1 && break
  sleep 0.1
done
kill -HUP $pid
for _ in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then
  kill -KILL $pid
  fail "a pipe as the level: the game still runs after SIGHUP"
else
  wait $pid
  status=$?
  if [[ $status -eq 1 ]] && grep -q "^karnolt: $work/pipe/Level1.bmp: not a regular file$" "$work/err" && ! ours_blamed; then
    passed=$((passed + 1))
  else
    fail "a pipe as the level: status $status"
  fi
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
