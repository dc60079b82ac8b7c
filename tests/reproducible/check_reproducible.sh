#!/usr/bin/env bash
# Builds the Debian package twice, as the README's release command does, from two copies of the sources that
# differ in folder, file times, time zone, locale and umask, and a while apart; the two packages must be
# byte-identical. Where they are not, diffoscope shows what differs.
# Usage: check_reproducible.sh <source dir>
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 <source dir>" >&2; exit 2; }
source=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# build <folder> <umask> <file time> <environment...>: a copy of the sources (no build folders, no Git
# data) in <folder>, its files dated <file time>, built and packaged in that environment.
build() {
    local folder=$1 mask=$2 stamp=$3
    shift 3
    mkdir -p "$folder"
    tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$folder" -xf -
    find "$folder" -exec touch -h -d "$stamp" {} +
    echo "== build in $folder: umask $mask, files of $stamp, $*"
    (
        umask "$mask"
        cd "$folder"
        env -u SOURCE_DATE_EPOCH "$@" bash -c \
            'cmake --preset release && cmake --build --preset release && cd build && cpack -G DEB'
    ) >"$work/$(basename "$folder").log" 2>&1 || { tail -n 30 "$work/$(basename "$folder").log"; exit 1; }
    cp "$folder"/build/tropilka_*.deb "$work/$(basename "$folder").deb"
}

build "$work/one" 022 '2001-02-03 04:05:06 UTC' TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8
build "$work/a-longer-folder/two" 077 'now' 'TZ=<+1345>-13:45' LC_ALL=C LANG=C

if cmp -s "$work/one.deb" "$work/two.deb"; then
    echo "the two packages are identical: $(sha256sum <"$work/one.deb" | cut -d' ' -f1)"
    exit 0
fi
echo "FAIL: the two packages differ" >&2
if command -v diffoscope >/dev/null; then
    diffoscope --text - --max-report-size 200000 "$work/one.deb" "$work/two.deb" || true
else
    echo "(diffoscope is not installed: tools/install-deps.sh tests installs it)"
    cmp -l "$work/one.deb" "$work/two.deb" | head -n 20 || true
fi
exit 1
