#!/usr/bin/env bash
# Tries the portable download as a school would: in clean Debian 11, 12 and 13 systems (debootstrap minbase)
# with no Qt at all and only the libraries README.ru.txt names, the folder unpacked, the game started on a
# private X server by the X11 test (title, client size, a round won and lost, edges at scales 1 and 2), every
# text checked to fit with DejaVu, the only face there, and to keep its size with the folder's own faces, and
# install.sh's menu entry put in place, validated and taken out again.
# Usage, as root with debootstrap installed and a Debian mirror reachable:
#   tools/try-portable-in-chroot.sh ARCHIVE [SUITE...]     (default: bullseye bookworm trixie)
# The display test reads the window's layout from the testing build's export (TROPILKA_GEOMETRY, by default
# build-testing/tests/display/geometry.json, which the README's test command makes).
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 ARCHIVE [SUITE...]" >&2; exit 2; }
archive=$(realpath "$1")
shift
suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(bullseye bookworm trixie)
[ "$(id -u)" -eq 0 ] || { echo "$0: must run as root (debootstrap, chroot, mount)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "$0: needs debootstrap (apt-get install debootstrap)" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
geometry=${TROPILKA_GEOMETRY:-$repo/build-testing/tests/display/geometry.json}
[ -f "$geometry" ] || { echo "$0: no $geometry: build the testing preset first" >&2; exit 2; }
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Label: Debian' 'Target-Of: deb' 2>/dev/null |
    sort -u | sed -n 1p) || mirror=

# The libraries the read-me names, by Debian's package names; the rest is what the test itself runs.
libraries=$(sed -n '/^Что нужно системе/,/^  Названия/p' "$repo/packaging/portable/README.ru.txt" |
    grep -o '\blib[a-z0-9-]*[0-9]\b' | sort -u | tr '\n' ' ')
tools="xvfb x11-utils xdotool python3 python3-xlib fonts-dejavu-core desktop-file-utils ca-certificates"

work=$(mktemp -d /var/tmp/tropilka-portable.XXXXXX)
mounted=()
cleanup() {
    local m
    for m in "${mounted[@]}"; do umount "$m" 2>/dev/null || true; done
}
trap cleanup EXIT

# The X11 test starts its own Xvfb inside the system and stops it by its PID.
reactions() { # <system> <scale>
    chroot "$1" python3 /opt/display/play.py x11 --geometry /opt/display/geometry.json \
        --game "/opt/tropilka-$version-linux-x86_64/tropilka" --version "$version" --scale "$2"
}
# With only DejaVu installed, every text of the window and the help panel still shows whole in its box, and
# with the folder's own faces every text keeps its size: the test program built against the same Qt
# (build-portable.sh leaves it beside the archive), on the system's X.
faces_check=$(dirname "$archive")/tst_fonts
faces() { # <system> [the carried faces' folder]
    [ -x "$faces_check" ] || { echo "no $faces_check: run tools/build-portable.sh to the end"; return 1; }
    install -m 755 "$faces_check" "$1/opt/tst_fonts"
    chroot "$1" env TROPILKA_CARRIED_FACES="${2-}" python3 - <<'EOF'
import os, subprocess, sys
sys.path.insert(0, "/opt/display")
import xvfb
with xvfb.server(1280, 1024) as display:
    sys.exit(subprocess.call(["/opt/tst_fonts"], env=dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")))
EOF
}
version=$(basename "$archive" | sed 's/^tropilka-\(.*\)-linux-x86_64\.tar\.gz$/\1/')
results=()
for suite in "${suites[@]}"; do
    system=$work/$suite
    status=passed
    {
        debootstrap --variant=minbase "$suite" "$system" ${mirror:+"$mirror"} &&
        mount -t proc proc "$system/proc" && mounted+=("$system/proc") &&
        chroot "$system" sh -c "apt-get update -q && apt-get install -y -q --no-install-recommends $libraries $tools" &&
        ! chroot "$system" sh -c 'ls /usr/lib/*/libQt6* 2>/dev/null | grep -q .' &&
        tar -C "$system/opt" -xzf "$archive" &&
        mkdir -p "$system/opt/display" && cp "$repo"/tests/display/*.py "$geometry" "$system/opt/display/" &&
        reactions "$system" 1 && reactions "$system" 2 &&
        faces "$system" && faces "$system" "/opt/tropilka-$version-linux-x86_64/fonts" &&
        chroot "$system" sh -c "useradd -m pupil && su pupil -c '
            cd /opt/tropilka-$version-linux-x86_64 && ./install.sh &&
            desktop-file-validate ~/.local/share/applications/tropilka.desktop &&
            ./install.sh --remove && ! test -e ~/.local/share/applications/tropilka.desktop'"
    } >"$work/$suite.log" 2>&1 || status="FAILED (log $work/$suite.log)"
    results+=("$suite: $status")
    cleanup
    mounted=()
done
printf '%s\n' "${results[@]}"
! printf '%s\n' "${results[@]}" | grep -q FAILED
