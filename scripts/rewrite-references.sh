#!/usr/bin/env bash
# Writes tests/reference anew after a deliberate change to what the game shows or does:
# runs the README's bridge and every script in tests/reference through BUILD_DIR's replay
# tool and puts what they write in place of the old frames and states (a reference no
# script writes any more goes). Look at the new pictures before you commit them.
#
#   bash scripts/rewrite-references.sh BUILD_DIR
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
replay=$(realpath "$1")/karnolt-replay
cd "$(dirname "$0")/.."
[[ -x $replay ]] || { echo "$0: $replay has not been built" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Everything is made before anything is replaced, so a failing script leaves the references as they were.
for script in docs/bridge.replay tests/reference/*.replay; do
  "$replay" --level data/Level1.bmp --out "$work" "$script"
done
rm -f tests/reference/*.bmp tests/reference/*.json
cp "$work"/* tests/reference/
git status --short tests/reference
