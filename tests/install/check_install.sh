#!/usr/bin/env bash
# Installs the built game into a throw-away prefix and a Debian package, and checks what a desktop finds there
# and what Debian's policy asks of a package (lintian); with "hardened", also that the packaged program has
# the hardening Debian's build flags give it.
# Usage: check_install.sh <build dir> <source dir> <version> [hardened]
set -euo pipefail

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
    echo "usage: $0 <build dir> <source dir> <version> [hardened]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
version=$3
hardened=${4:-}
app_id=org.example.Tropilka
sizes=(32 48 64 128 256)

work=$(mktemp -d)
game_pid=
# Installing and packaging both write install_manifest.txt into the build dir; put back what was there.
manifest=$build/install_manifest.txt
had_manifest=no
if [ -e "$manifest" ]; then
    had_manifest=yes
    cp -p "$manifest" "$work/install_manifest.txt"
fi
cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill "$game_pid"
        wait "$game_pid" || true
    fi
    if [ "$had_manifest" = yes ]; then
        cp -p "$work/install_manifest.txt" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# The value of <key> in the desktop entry's main group, or nothing.
entry_value() {
    sed -n '/^\[Desktop Entry\]/,/^\[/p' "$desktop" | grep -m1 "^$1=" | cut -d= -f2- || true
}
# "<width> <height>" from a PNG's header, or nothing if the file is not a PNG.
png_size() {
    local b
    read -r -a b < <(od -An -tu1 -N24 -v "$1" | tr -s ' \n' '  ')
    [ "${b[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || return 0
    echo "$(((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19])) $(((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]))"
}

echo "== install into $work/root/usr"
root=$work/root
env -u DESTDIR cmake --install "$build" --prefix "$root/usr"

game=$root/usr/games/tropilka
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
[ -x "$game" ] || fail "no executable at games/tropilka"
[ -f "$desktop" ] || fail "no desktop entry at share/applications/$app_id.desktop"
[ -f "$metainfo" ] || fail "no metadata at share/metainfo/$app_id.metainfo.xml"
for size in "${sizes[@]}"; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    if [ ! -f "$icon" ]; then
        fail "no ${size}x${size} icon"
    elif [ "$(png_size "$icon")" != "$size $size" ]; then
        fail "icon for ${size}x${size} is not a ${size}x${size} PNG: '$(png_size "$icon")'"
    fi
done
[ $failures -eq 0 ] || exit 1
# The installed program must not look for anything in the build tree.
if readelf -d "$game" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "the installed program's library path points into the build dir"
fi

echo "== desktop entry"
if grep -q '@[A-Za-z_]*@' "$desktop"; then fail "the desktop entry has unfilled @VARIABLES@"; fi
# Hints (such as Education and Game both being main categories) are fine; warnings and errors are not.
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
echo "$validation"
if grep -qE ': (error|warning):' <<<"$validation"; then fail "desktop-file-validate reports problems"; fi
[ "$(entry_value Type)" = Application ] || fail "Type is not Application"
[ "$(entry_value Name)" = "Тропилка" ] || fail "Name is not Тропилка"
# Cyrillic letters start with byte D0 or D1 in UTF-8; bytes, so the test's locale does not matter.
LC_ALL=C grep -q $'[\xd0\xd1]' <<<"$(entry_value 'Comment\[ru\]')" || fail "no Russian Comment"
[ "$(entry_value Icon)" = "$app_id" ] || fail "Icon is not the installed theme icon $app_id"
exec_line=$(entry_value Exec)
[ "${exec_line%% *}" = "$game" ] || fail "Exec '$exec_line' does not start the installed program"
categories=";$(entry_value Categories)"
for c in Education Game KidsGame; do
    [[ $categories == *";$c;"* ]] || fail "Categories lacks $c"
done
# The action teachers find in the entry's menu starts the installed game full screen.
[ "$(entry_value Actions)" = "fullscreen;" ] || fail "Actions is not fullscreen;"
sed -n '/^\[Desktop Action fullscreen\]/,/^\[/p' "$desktop" | grep -qx "Exec=$game --fullscreen" ||
    fail "the full-screen action does not start $game --fullscreen"
sed -n '/^\[Desktop Action fullscreen\]/,/^\[/p' "$desktop" | grep -qx "Name=На весь экран" ||
    fail "the full-screen action is not named На весь экран"

echo "== AppStream metadata"
validation=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || fail "appstreamcli validate failed"
echo "$validation"
if grep -qE '^[EW]:' <<<"$validation"; then fail "appstreamcli reports errors or warnings"; fi
# The tree check also finds the launchable desktop entry next to the metadata.
validation=$(appstreamcli validate-tree --pedantic --no-net "$root" 2>&1) ||
    fail "appstreamcli validate-tree failed"
echo "$validation"
if grep -qE '^ *[EW]:' <<<"$validation"; then fail "appstreamcli validate-tree reports errors or warnings"; fi
grep -qF "<id>$app_id</id>" "$metainfo" || fail "metadata id is not $app_id"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metadata does not launch $app_id.desktop"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "metadata has no release $version"
grep -q '<content_rating type="oars-' "$metainfo" || fail "metadata has no OARS content rating"
if grep -q '@[A-Za-z_]*@' "$metainfo"; then fail "metadata has unfilled @VARIABLES@"; fi

echo "== Debian package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package"
deb=$work/package/tropilka_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { fail "no package $deb"; exit 1; }
dpkg-deb -f "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
grep -qE '(^|, )libqt6widgets6( |,|$)' <<<"$depends" || fail "Depends does not name libqt6widgets6: '$depends'"
# The faces the layout is made for.
grep -qE '(^|, )fonts-liberation \(>= 1:2\) \| fonts-liberation2(,|$)' <<<"$depends" ||
    fail "Depends does not name the Liberation 2 fonts: '$depends'"
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "package does not recommend qt6-wayland"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "package section is not games"
[[ $(dpkg-deb -f "$deb" Maintainer) == *@example.org\>* ]] || fail "maintainer is not under example.org"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "package has no description"
# The package holds exactly what the prefix install holds, under /usr.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/packaged"
(cd "$root" && find . -type f | sort) >"$work/installed"
diff -u "$work/installed" "$work/packaged" || fail "package contents differ from the installed files"
grep -qx './usr/games/tropilka' "$work/packaged" || fail "package lacks the executable in /usr/games"
for man in ./usr/share/man/man6/tropilka.6.gz ./usr/share/man/ru/man6/tropilka.6.gz; do
    grep -qx "$man" "$work/packaged" || fail "package lacks the manual page $man"
done
dpkg-deb -x "$deb" "$work/unpacked"
sed -n '/^\[Desktop Entry\]/,/^\[/p' "$work/unpacked/usr/share/applications/$app_id.desktop" |
    grep -qx 'Exec=/usr/games/tropilka' || fail "the packaged menu entry does not start /usr/games/tropilka"
head -n1 "$work/unpacked/usr/share/doc/tropilka/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"

if [ "$hardened" = hardened ]; then
    echo "== hardening"
    options=()
    program=$work/unpacked/usr/games/tropilka
    arch=$(dpkg --print-architecture)
    # Branch protection is arm64's; the x86 equivalent is control-flow protection.
    usage=$(hardening-check --help 2>&1) || true
    if [ "$arch" != arm64 ] && [[ $usage == *--nobranchprotection* ]]; then
        options+=(--nobranchprotection)
    fi
    # Control-flow protection where this release's dpkg-buildflags gives it (Debian 13 on). The linker marks
    # a program as protected only where every object it links is, the C library's start files too; Debian
    # 13's are not, nor then are its own programs. There the protection must show in the code: main, called
    # through a pointer, must start with the landing instruction.
    features=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --query-features hardening)
    if [[ $features != *$'Feature: branch\nEnabled: yes'* ]]; then
        options+=(--nocfprotection)
    elif [ "$arch" = amd64 ] && [[ $(readelf -n "$(g++ -print-file-name=crti.o)") != *IBT* ]]; then
        options+=(--nocfprotection)
        [[ $(objdump -d --disassemble=main "$build/tropilka") == *$'<main>:\n'*([^$'\n'])endbr64* ]] ||
            fail "main does not start with endbr64: the program was built without -fcf-protection"
    fi
    # With _FORTIFY_SOURCE=2 the compiler checks only copies whose size it knows; a program whose every
    # memcpy is of a size known at run time only has nothing to protect. Then every compile must still have
    # asked for it.
    report=$(hardening-check --verbose "$program") || true
    if grep -q 'Fortify Source functions: no, only unprotected' <<<"$report"; then
        options+=(--nofortify)
        compiles=$(grep '"command":' "$build/compile_commands.json")
        commands=$(grep -c . <<<"$compiles")
        fortified=$(grep -c -- '-D_FORTIFY_SOURCE=[1-9]' <<<"$compiles") || true
        [ "$commands" -gt 0 ] && [ "$commands" = "$fortified" ] ||
            fail "$fortified of $commands compiles defined _FORTIFY_SOURCE"
    fi
    hardening-check --verbose "${options[@]}" "$program" || fail "hardening-check finds hardening missing"
fi

echo "== lintian"
# Every error and warning fails; info and pedantic tags are shown for a look.
lintian --fail-on error,warning --display-info --pedantic "$deb" || fail "lintian finds errors or warnings"

echo "== start the installed program headless"
home=$work/home
mkdir -p "$home/config" "$home/cache" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
(
    cd "$work"
    exec env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
        XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
        "$game"
) >"$work/game.log" 2>&1 &
game_pid=$!
sleep 2
if kill -0 "$game_pid" 2>/dev/null; then
    kill -TERM "$game_pid"
    status=0
    wait "$game_pid" || status=$?
    game_pid=
    # 128 + SIGTERM: it ended because we stopped it, not by itself.
    [ $status -eq 143 ] || fail "the program ended with status $status instead of being stopped"
else
    status=0
    wait "$game_pid" || status=$?
    game_pid=
    fail "the program exited by itself with status $status"
fi
if [ -s "$work/game.log" ]; then
    echo "program output:"
    cat "$work/game.log"
fi

[ $failures -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all install checks passed"
