#!/usr/bin/env bash
# Builds the Debian package: a Release build of the game alone, in Debian's games
# layout (/usr/games/karnolt, /usr/share/games/karnolt) and with Debian's hardening
# build flags, packed by cpack. Prints the path of the .deb.
#
#   bash scripts/build-package.sh BUILD_DIR ['Maintainer Name <address>']
#
# Needs `bash scripts/install-deps.sh package`.
set -euo pipefail

source=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: build-package.sh BUILD_DIR [MAINTAINER]}
maintainer=${2:-}

# Debian's own flags: fortified, stack-protected, position-independent, full RELRO.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_TESTS=OFF \
  -DCMAKE_INSTALL_BINDIR=games -DCMAKE_INSTALL_DATADIR=share/games \
  "-DKARNOLT_MAINTAINER=$maintainer" >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target karnolt karnolt_docs >/dev/null
rm -f "$build"/karnolt_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
ls "$build"/karnolt_*.deb
