#!/usr/bin/env bash
# The Debian package as a distribution would judge it: built as `make package` builds
# it, with a maintainer set, then lintian (no error, no warning), the AppStream
# metainfo and the desktop entry validated, and the games layout installed and started
# from elsewhere, where it must find its level.
#
#   bash tests/package/check_package.sh WORK_DIR
set -euo pipefail

source=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:?usage: check_package.sh WORK_DIR}
mkdir -p "$work"
for tool in lintian appstreamcli desktop-file-validate dpkg-buildflags; do
  command -v "$tool" >/dev/null || { echo "$tool missing: bash scripts/install-deps.sh package" >&2; exit 1; }
done

deb=$(bash "$source/scripts/build-package.sh" "$work/build" "Karnolt Packager <packager@karnolt.org>")

# Lintian as root says so on standard error; only its tags count.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>"$work/lintian.err" || {
  cat "$work/lintian.err" >&2
  echo "lintian finds errors or warnings in $deb" >&2
  exit 1
}

rm -rf "$work/root"
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.karnolt.karnolt.metainfo.xml"
desktop-file-validate "$work/root/usr/share/applications/karnolt.desktop"

cmake -DBUILD_DIR="$work/build" -DSOURCE_DIR="$source" -DWORK_DIR="$work/install-tree" \
  -DBIN_DIR=games -DDATA_DIR=share/games -P "$source/tests/tools/check_install_tree.cmake"
echo "package $deb: lintian, AppStream and desktop entry clean; games layout finds its level"
