#!/usr/bin/env bash
# Fetches and unpacks Debian's qt6-base source of one version into WORK/qtbase, for the static Qt builds
# (build-windows.sh, build-portable.sh). The source comes through the machine's own apt sources, with deb-src
# added in a private list and lists folder under WORK, so the system's apt configuration stays as it was.
#   tools/fetch-qt-source.sh WORK VERSION
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 WORK VERSION" >&2; exit 2; }
work=$1 version=$2
fail() { echo "fetch-qt-source: $*" >&2; exit 1; }

mkdir -p "$work/apt/lists/partial" "$work/apt/sources.list.d"
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$work/apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"$work/apt/sources.list.d/main.list"
fi
apt=(apt-get -q -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
     -o "Dir::State::Lists=$work/apt/lists" -o APT::Sandbox::User=root)
echo "Fetching qt6-base $version's source"
(cd "$work" && "${apt[@]}" update >apt.log 2>&1 && "${apt[@]}" source --download-only "qt6-base=$version" >>apt.log 2>&1) ||
  { tail -5 "$work/apt.log" >&2; fail "could not fetch the source of qt6-base $version: is a package mirror reachable?"; }
(cd "$work" && dpkg-source -x qt6-base_*.dsc qtbase >/dev/null 2>&1) || fail "could not unpack qt6-base's source"
