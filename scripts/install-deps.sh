#!/usr/bin/env bash
# Installs the Debian packages Karnolt needs to build, test and play.
# Quick and silent when everything is already there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
)
# Extra groups, requested by name: "bench", "fuzz", "x11" (end-to-end under Xvfb), "package",
# "web" (the WebAssembly build and its browser tests; the browser automation itself
# comes from tests/web/package-lock.json).
for group in "$@"; do
  case "$group" in
    bench) PACKAGES+=(libsdl2-gfx-dev bc) ;;
    fuzz) PACKAGES+=(clang) ;;
    x11) PACKAGES+=(xvfb xauth xfonts-base xdotool x11-apps desktop-file-utils libgl1 libglx-mesa0 libgl1-mesa-dri) ;;
    package) PACKAGES+=(dpkg-dev file lintian appstream desktop-file-utils) ;;
    web) PACKAGES+=(emscripten chromium firefox-esr nodejs librsvg2-bin) ;;
    *) echo "install-deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
