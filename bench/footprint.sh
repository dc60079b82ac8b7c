#!/usr/bin/env bash
# Measures the game's whole-process footprint against a bare Qt window on a private X server.
# Usage: bench/footprint.sh [build-dir] [footprint options, e.g. --runs 5 --idle 10 --moves 2000]
set -euo pipefail
build=${1:-build}
shift || true
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool" >&2; exit 2; }
done

display=
for n in $(seq 90 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 2; }

Xvfb ":$display" -screen 0 800x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done

unset QT_QPA_PLATFORM QT_SCALE_FACTOR
DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$build/bench/tropilka_footprint" "$build/tropilka" \
  "$build/bench/tropilka_bare" "$@"
