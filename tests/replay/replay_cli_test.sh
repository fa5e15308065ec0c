#!/usr/bin/env bash
# The replay tool's command line, scripts and exit statuses, run as a user would.
set -u
replay=$1
level=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# expect STATUS PATTERN -- command...: the exit status, and a pattern that standard error must
# match (an empty pattern: standard error must stay empty).
expect() {
  local status=$1 pattern=$2
  shift 3
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [[ $got -eq $status ]] && { [[ -z $pattern && ! -s $work/err ]] || { [[ -n $pattern ]] && grep -qE -- "$pattern" "$work/err"; }; }; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $* -> status $got (want $status), stderr: $(head -c 300 "$work/err")"
  fi
}
check() {
  if eval "$1"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

script() { printf '%s\n' "$@" >"$work/script.txt"; }

# Bad command lines.
expect 2 'no SCRIPT given' -- "$replay"
expect 2 "unknown option '--fast'" -- "$replay" --fast "$work/script.txt"
expect 2 '--level needs a value' -- "$replay" "$work/script.txt" --level
expect 2 'cannot be opened' -- "$replay" "$work/none.txt"
script 'frames 1'
expect 2 'not a directory' -- "$replay" --out "$work/none" "$work/script.txt"

# Bad scripts are refused whole, with the line number, before anything runs.
for bad in 'frames 0' 'frames 10000001' 'frames ten' 'frames 0x10' 'frames +5' 'press 4' 'release' \
           'keydown space' 'keyup 0x100' 'keydown 0x1' 'keydown 0x+1' 'mouse 1' 'mouse 1 2 3' \
           'mouse 99999999999 0' 'Frames 1' 'shot' 'jump 3'; do
  script 'frames 2' 'state early.json' "# a comment" '' "$bad"
  expect 2 "script.txt:5: " -- "$replay" --level "$level" --out "$work" "$work/script.txt"
  check "[[ ! -e $work/early.json && \$(wc -l <$work/err) -eq 1 ]]"
done

# A level that cannot be loaded: status 1 and the message under the tool's own name.
script 'frames 1'
expect 1 '^karnolt-replay: .*missing\.bmp' -- "$replay" --level "$work/missing.bmp" "$work/script.txt"
printf 'BMx' >"$work/short.bmp"
expect 1 'short\.bmp' -- "$replay" --level "$work/short.bmp" "$work/script.txt"

# Escape ends a run with status 0; later lines do not run. (What a run shows and dumps
# is pinned by the reference frames.)
script 'keydown 0x1c   # Enter' 'frames 2' 'keydown escape' 'frames 5' 'state after.json'
expect 0 '' -- "$replay" --level "$level" --out "$work" "$work/script.txt"
check "[[ ! -e $work/after.json ]]"

# The script may come from standard input.
printf 'frames 1\nstate stdin.json\n' | "$replay" --level "$level" --out "$work" - 2>"$work/err"
check "[[ -s $work/stdin.json ]]"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
