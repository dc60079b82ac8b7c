#!/usr/bin/env bash
# Measures the game's whole-process footprint against a bare Qt window on a private X server.
# Usage: bench/footprint.sh [build-dir, build-testing unless given] [footprint options, e.g. --runs 5 --idle 10 --moves 2000]
#        bench/footprint.sh --windows build-windows [build-dir] [footprint options]
# The second measures tropilka.exe against the bare window built for Windows the same way, both under Wine in
# a fresh prefix, with the measuring tool of the Linux build (build-dir).
set -euo pipefail
windows=
if [ "${1-}" = --windows ]; then
  windows=$(cd "${2:?--windows names the Windows build folder}" && pwd)
  shift 2
fi
build=${1:-build-testing}
shift || true
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool" >&2; exit 2; }
done

width=800 height=640
# A private X server on a free display, stopped by its PID on the way out.
read -r display xvfb < <(/usr/bin/python3 "$(dirname "$0")/../tests/display/xvfb.py" --size "${width}x${height}") ||
  { echo "no X server could start" >&2; exit 2; }
work=$(mktemp -d)
wine_run=$(cd "$(dirname "$0")/../tests/windows" && pwd)/wine-run.sh
cleanup() {
  [ -z "$windows" ] || WINEPREFIX=$work/prefix "$wine_run" --stop
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

unset QT_QPA_PLATFORM QT_SCALE_FACTOR
game=$build/tropilka bare=$build/bench/tropilka_bare origin=()
if [ -n "$windows" ]; then
  export WINEPREFIX=$work/prefix DISPLAY="$display"
  "$wine_run" --init >/dev/null 2>&1
  # Each program starts through Wine as a pupil's would; Windows centres the windows on the screen.
  for name in tropilka tropilka_bare; do
    # The measuring tool's own platform (xcb) is not the Windows program's.
    printf '#!/bin/sh\nunset QT_QPA_PLATFORM\nexec "%s" "%s"\n' "$wine_run" "$windows/$name.exe" >"$work/${name##*/}"
    chmod +x "$work/${name##*/}"
  done
  game=$work/tropilka bare=$work/tropilka_bare
  origin=(--origin "$(((width - 648) / 2)),$(((height - 536) / 2))")
fi
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/bench/tropilka_footprint" "$game" "$bare" "${origin[@]}" "$@"
