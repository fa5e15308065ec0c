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

# script LINE...: writes script.txt; \0, \xNN and the like in a line stand for those bytes.
script() { printf '%b\n' "$@" >"$work/script.txt"; }

# Bad command lines.
expect 2 'no SCRIPT given' -- "$replay"
expect 2 "unknown option '--fast'" -- "$replay" --fast "$work/script.txt"
expect 2 '--level needs a value' -- "$replay" "$work/script.txt" --level
for option in --level --out; do expect 2 "$option needs a non-empty value" -- "$replay" $option '' x; done
expect 2 'cannot be opened' -- "$replay" "$work/none.txt"
script 'frames 1'
expect 2 'not a directory' -- "$replay" --out "$work/none" "$work/script.txt"

# Bad scripts are refused whole, with the line number, before anything runs: also a file
# that would land outside --out or in no folder, or whose name a NUL byte would cut.
mkdir "$work/sub"
for bad in 'frames 0' 'frames 10000001' 'frames ten' 'frames 0x10' 'frames +5' 'press 4' 'release' \
           'keydown space' 'keyup 0x100' 'keydown 0x1' 'keydown 0x+1' 'mouse 1' 'mouse 1 2 3' \
           'mouse 99999999999 0' 'Frames 1' 'shot' 'jump 3' 'active 1' 'shot nodir/x.bmp' 'shot sub' \
           "shot $work/abs.bmp" 'state ../x.json' 'state sub/../x.json' 'state sub/' 'state a\0b.json'; do
  script 'frames 2' 'state early.json' "# a comment" '' "$bad"
  expect 2 "script.txt:5: " -- "$replay" --level "$level" --out "$work" "$work/script.txt"
  check "[[ ! -e $work/early.json && \$(wc -l <$work/err) -eq 1 ]]"
done

# Offending text is shown escaped and cut; a longer line, or a script longer than 16 MiB, is
# refused without reading on.
script '\x1b[31mxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx'
expect 2 "script.txt:1: unknown command '\\\\x1b\\[31mx{32}\\.\\.\\.'\$" -- "$replay" "$work/script.txt"
script "frames 1 $(printf '%5000s')"
expect 2 'script.txt:1: the line is longer than 4096 bytes$' -- "$replay" "$work/script.txt"
yes 'mouse 1 1' | head -c 17M >"$work/script.txt"
expect 2 'script.txt:[0-9]+: the script is longer than 16 MiB$' -- "$replay" "$work/script.txt"

# A level that cannot be loaded: status 1 and the message under the tool's own name.
script 'frames 1'
expect 1 '^karnolt-replay: .*missing\.bmp' -- "$replay" --level "$work/missing.bmp" "$work/script.txt"
printf 'BMx' >"$work/short.bmp"
expect 1 'short\.bmp' -- "$replay" --level "$work/short.bmp" "$work/script.txt"

# An inactive window presents nothing: the screen stays as black as before the first
# frame until it is active again. Escape ends a run with status 0; later lines do not
# run. (What a run shows and dumps is pinned by the reference frames.)
script 'shot black.bmp' 'inactive' 'frames 3' 'shot inactive.bmp' 'active' 'keydown 0x1c   # Enter' 'frames 2' \
       'shot active.bmp' 'keydown escape' 'frames 5' 'state after.json'
expect 0 '' -- "$replay" --level "$level" --out "$work" "$work/script.txt"
check "cmp -s $work/black.bmp $work/inactive.bmp && ! cmp -s $work/black.bmp $work/active.bmp"
check "[[ ! -e $work/after.json ]]"

# The script may come from standard input, and start with a UTF-8 byte-order mark.
printf '\xef\xbb\xbfframes 1\nstate sub/stdin.json\n' | "$replay" --level "$level" --out "$work" - 2>"$work/err"
check "[[ -s $work/sub/stdin.json ]]"

# The state lists the grid's last row too: the level cut to its top 50 rows (the pixels start
# 20 rows later) has the pier's anchor (47, 48) two rows above it; a beam joins the two.
cp "$level" "$work/cut.bmp"
printf '\xa6\x17' | dd of="$work/cut.bmp" bs=1 seek=10 conv=notrunc status=none
printf '\x32' | dd of="$work/cut.bmp" bs=1 seek=22 conv=notrunc status=none
script 'mouse 28 176' 'frames 1' 'press 1' 'frames 2' 'release 1' 'frames 11' 'mouse 0 40' 'frames 1' 'press 1' \
       'frames 2' 'release 1' 'frames 11' 'state last.json'
expect 0 '' -- "$replay" --level "$work/cut.bmp" --out "$work" "$work/script.txt"
check "grep -q '\"i\": 47, \"j\": 50,' $work/last.json"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
