#!/usr/bin/env bash
# Installs what building, running and testing the game needs on Debian 12 and 13, and only what is missing.
# Run as root, or as a user who may use sudo.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ qt6-base-dev
  # run: Qt's platform plugins (X11 and the headless one the tests use), native Wayland, faces that show Cyrillic
  qt6-qpa-plugins qt6-wayland fonts-dejavu-core fonts-liberation2
  # tests: Qt Gui's private part delivers window-system events; benchmarks: Google Benchmark, and a private X
  # server with XTest pointer moves for the whole-process measurements
  qt6-base-private-dev libbenchmark-dev xvfb xdotool
  # tests on a real X server: the script's interpreter, and xwd for screenshots
  python3 x11-apps
  # the Wayland end-to-end test: a headless compositor, its screen reader, a virtual pointer built from the
  # protocol
  sway grim libwayland-dev pkgconf
  # installing: checks of the desktop entry and metadata, the Debian package (its dependencies need file) and
  # its policy check
  desktop-file-utils appstream dpkg-dev file lintian
  # CI: the layout of the C++ files
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
