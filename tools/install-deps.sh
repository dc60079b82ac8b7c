#!/usr/bin/env bash
# Installs what the game needs on Debian 12 and 13, and only what is missing. Run as root, or as a user who may
# use sudo.
#   tools/install-deps.sh game     building and running the game
#   tools/install-deps.sh tests    that, and everything the test suite, the benchmarks and CI use
#   tools/install-deps.sh windows  cross-building for Windows and testing it under Wine
set -euo pipefail

game=(
  cmake ninja-build g++ qt6-base-dev
  # Debian's build flags (hardening), and what the Debian package is made with: dpkg-shlibdeps and its file,
  # and strip-nondeterminism for the archive's modes and times
  dpkg-dev file strip-nondeterminism
  # Qt's platform plugins (X11 and the headless one), native Wayland, faces that show Cyrillic
  qt6-qpa-plugins qt6-wayland fonts-dejavu-core fonts-liberation2
)
tests=(
  "${game[@]}"
  # Qt Gui's private part delivers window-system events; benchmarks: Google Benchmark, and a private X server
  # with XTest pointer moves for the whole-process measurements
  qt6-base-private-dev libbenchmark-dev xvfb xdotool
  # tests on a real X server: the script's interpreter and its X client library
  python3 python3-xlib
  # the Wayland end-to-end test: a headless compositor, its screen reader, a virtual pointer built from the
  # protocol
  sway grim libwayland-dev pkgconf
  # installing: checks of the desktop entry and metadata, the Debian package (its dependencies need file) and
  # its policy check
  desktop-file-utils appstream dpkg-dev file lintian
  # the program's hardening checked (hardening-check), and two builds of the package compared (diffoscope)
  devscripts diffoscope-minimal
  # CI: the layout of the C++ files
  clang-format
)
windows=(
  "${game[@]}"
  # the cross compiler (POSIX threads, for std::thread), Qt's source unpacked, the installer and the zip
  g++-mingw-w64-x86-64-posix dpkg-dev wixl msitools zip
  # running and testing it: Wine on a private X server with the XTest pointer, and screenshots
  wine wine64 xvfb xdotool python3 python3-xlib
)
portable=(
  "${game[@]}"
  # a clean Debian 11 system as the sysroot, Qt's source unpacked, and the program's needs read
  debootstrap dpkg-dev binutils desktop-file-utils
)

packages=()
[ $# -gt 0 ] || set -- tests
for set in "$@"; do
  case $set in
    game) packages+=("${game[@]}") ;;
    tests) packages+=("${tests[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    portable) packages+=("${portable[@]}") ;;
    *) echo "usage: $0 [game|tests|windows|portable]..." >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
