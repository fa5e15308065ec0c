#!/usr/bin/env bash
# The replay tool on WebAssembly (under Node.js) writes the same pictures and states,
# byte for byte, as the native tool, for every script in tests/reference and the
# README's bridge: the simulation's floats included.
set -u
native=$1
web=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for script in "$source"/tests/reference/*.replay "$source"/docs/bridge.replay; do
  name=$(basename "$script" .replay)
  mkdir -p "$work/native/$name" "$work/web/$name"
  "$native" --level "$source/data/Level1.bmp" --out "$work/native/$name" "$script" &&
    "$web" --level "$source/data/Level1.bmp" --out "$work/web/$name" "$script" &&
    [[ -n $(ls "$work/web/$name") ]] && diff -r "$work/native/$name" "$work/web/$name"
  if [[ $? -eq 0 ]]; then passed=$((passed + 1)); else failed=$((failed + 1)) && echo "FAILED: $name"; fi
done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
