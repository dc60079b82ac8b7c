#!/usr/bin/env bash
# Installs the MSI silently into a fresh 64-bit Wine prefix on a private X server and checks what Windows makes
# of it: the program in Program Files, the Start menu entries "Тропилка" and "Тропилка — на весь экран" and what
# they point at, the entry in Apps & Features; starts the game from where it went and from the shortcut's
# target; with a later MSI, upgrades to it and sees the older one refused; then removes it silently and checks
# that Program Files is as it was. Last, installs it for a computer lab (MODE=kiosk): the game starts full
# screen, and the teacher's key chord ends it.
# Usage: check_msi.sh <msi> [<expected version> [<later msi> <its version>]]
set -euo pipefail

if [ $# -ne 1 ] && [ $# -ne 2 ] && [ $# -ne 4 ]; then
    echo "usage: $0 <msi> [<expected version> [<later msi> <its version>]]" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
msi=$(realpath "$1")
version=${2:-}
next_msi=${3:+$(realpath "$3")}
next_version=${4:-}
name="Тропилка"
fullscreen_name="Тропилка — на весь экран"
publisher="The Tropilka developers"
folder="Tropilka"

die() {
    echo "FAIL: $*" >&2
    exit 1
}
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Wine 8 has wine64 beside its wrapper; later ones run 64-bit programs from "wine" itself.
wine=
for candidate in "$(command -v wine64)" /usr/lib/wine/wine64 "$(command -v wine)"; do
    [ -n "$candidate" ] && [ -x "$candidate" ] && { wine=$candidate; break; }
done
[ -n "$wine" ] || die "Wine is not installed (tools/install-deps.sh windows)"
python=/usr/bin/python3
for tool in wineserver Xvfb xdotool msiinfo iconv $python; do
    command -v "$tool" >/dev/null || die "$tool is not installed (tools/install-deps.sh windows)"
done
[ -f "$msi" ] || die "no such MSI: $msi"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No prompts for Mono or Gecko, and nothing put into the host's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb_pid=
game_pid=
cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill "$game_pid" 2>/dev/null || true
    fi
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        timeout 30 wineserver -w 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for <seconds> <command...>: runs the command every tenth of a second until it succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

# A private X server on a free display, ready for clients.
start_x_server() {
    read -r DISPLAY xvfb_pid < <($python "$(dirname "$0")/../display/xvfb.py" --size 1280x1024 --first 400) ||
        die "no X server could start"
    export DISPLAY
}

c_drive=$WINEPREFIX/drive_c
# Where the game reads the mode a school sets for every pupil of the computer.
settings_key="HKLM\\Software\\tropilka\\tropilka"
program_files=$c_drive/"Program Files"
install_dir=$program_files/$folder
win_program="C:\\Program Files\\$folder\\tropilka.exe"
# Windows puts a per-machine shortcut into the common Start menu. Wine's msi (8, and its current source) takes
# ProgramMenuFolder from the user's whatever ALLUSERS says, so there the link is looked for too; that the
# package asks for a per-machine install is checked in its tables.
menus=("$c_drive/ProgramData/Microsoft/Windows/Start Menu/Programs" \
       "$c_drive/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs")

# Paths between the two sides: a Unix one as Wine's Z: drive sees it, and one on the prefix's C: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
unixpath() {
    local rest=${1#[Cc]:\\}
    printf '%s/%s' "$c_drive" "${rest//\\//}"
}
wine_run() { timeout 300 "$wine" "$@"; }

# The value of a property in an MSI's Property table.
msi_property() {
    msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v p="$2" '$1 == p { print $2 }'
}

# The string values of a registry key (not its subkeys) as "name=value" lines, or nothing if there is none.
registry_values() {
    local reg=$work/values.reg
    rm -f "$reg"
    wine_run reg export "$1" "$(winpath "$reg")" /y >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$reg" | tr -d '\r' | awk '/^\[/ { n++ } n == 1' |
        sed -n 's/^"\([^"]*\)"="\(.*\)"$/\1=\2/p' | sed 's/\\\\/\\/g'
}
# What Apps & Features lists for a product code.
uninstall_entry() { registry_values "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"; }
# Where Windows Installer keeps a product it installed per machine (ProductName, ProductIcon): under the code
# "packed", its first three groups reversed and the rest byte by byte with the nibbles swapped.
installer_product() {
    local g=${1//[\{\}-]/} packed= i
    for i in 7 6 5 4 3 2 1 0 11 10 9 8 15 14 13 12; do packed+=${g:i:1}; done
    for ((i = 16; i < 32; i += 2)); do packed+=${g:i+1:1}${g:i:1}; done
    registry_values "HKLM\\Software\\Classes\\Installer\\Products\\$packed"
}

# The one link of that name (the game's, unless given) in the Start menus, or nothing.
find_shortcut() {
    local m found=() entry=${1:-$name}
    for m in "${menus[@]}"; do
        [ -f "$m/$entry.lnk" ] && found+=("$m/$entry.lnk")
    done
    [ ${#found[@]} -le 1 ] || fail "the Start menu entry is there twice: ${found[*]}"
    [ ${#found[@]} -eq 0 ] || echo "${found[0]}"
}

window_of() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }

# play <how> <working dir (Unix)> <program (Windows path)>: starts the game, sees its window, closes it as a
# user would (Alt+F4) and checks that the process ends with status 0.
play() {
    local how=$1 dir=$2 exe=$3 window pid status=0
    (cd "$dir" && exec "$wine" "$exe") >"$work/game.log" 2>&1 &
    game_pid=$!
    if ! wait_for 90 eval '[ -n "$(window_of "$title")" ]'; then
        fail "started $how, the game showed no window named \"$title\""
        kill "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
        game_pid=
        return
    fi
    window=$(window_of "$title")
    pid=$(xdotool getwindowpid "$window" 2>/dev/null || true)
    [ "$pid" = "$game_pid" ] || fail "started $how, the window belongs to process ${pid:-none}, not $game_pid"
    echo "started $how: window \"$(xdotool getwindowname "$window")\""
    xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4
    if ! wait_for 30 eval '! kill -0 $game_pid 2>/dev/null'; then
        fail "started $how, the game did not end within 30 s of Alt+F4"
        kill "$game_pid" 2>/dev/null || true
    fi
    wait "$game_pid" || status=$?
    game_pid=
    [ "$status" -eq 0 ] || fail "started $how, the game ended with status $status"
}

# check_installed <msi> <version>: the program, the shortcut and the Apps & Features entry of that package.
check_installed() {
    local package=$1 expected=$2 code entry product lnk files target workdir icon
    code=$(msi_property "$package" ProductCode)
    files=$(cd "$install_dir" 2>/dev/null && ls -A) || true
    [ "$files" = "tropilka.exe" ] || fail "$install_dir holds \"${files//$'\n'/ }\", not tropilka.exe alone"
    [ "$(head -c2 "$install_dir/tropilka.exe" 2>/dev/null)" = "MZ" ] || fail "the installed tropilka.exe is no program"

    local entry arguments
    for entry in "$name|" "$fullscreen_name|--fullscreen"; do
        lnk=$(find_shortcut "${entry%|*}")
        if [ -z "$lnk" ]; then
            fail "no Start menu entry \"${entry%|*}\" in ${menus[*]}"
            continue
        fi
        $python "$here/lnk_target.py" "$lnk" >"$work/lnk"
        target=$(sed -n 's/^target=//p' "$work/lnk")
        arguments=$(sed -n 's/^arguments=//p' "$work/lnk")
        workdir=$(sed -n 's/^workdir=//p' "$work/lnk")
        icon=$(sed -n 's/^icon=//p' "$work/lnk")
        [ "$target" = "$win_program" ] || fail "the Start menu entry \"${entry%|*}\" points at \"$target\", not \"$win_program\""
        [ "$arguments" = "${entry#*|}" ] || fail "the Start menu entry \"${entry%|*}\" passes \"$arguments\", not \"${entry#*|}\""
        [ "$workdir" = "C:\\Program Files\\$folder\\" ] || fail "the Start menu entry \"${entry%|*}\" starts in \"$workdir\""
        [ -n "$icon" ] && [ -s "$(unixpath "$icon")" ] || fail "the Start menu entry's icon \"$icon\" is not there"
    done
    # Without MODE the school's mode is left unset.
    [ -z "$(registry_values "$settings_key")" ] || fail "installed without MODE, the game has a mode set: $(registry_values "$settings_key")"

    entry=$(uninstall_entry "$code")
    [ -n "$entry" ] || fail "no entry for $code in Apps & Features"
    grep -qxF "DisplayName=$name" <<<"$entry" || fail "Apps & Features names it \"$(sed -n 's/^DisplayName=//p' <<<"$entry")\""
    grep -qxF "DisplayVersion=$expected" <<<"$entry" ||
        fail "Apps & Features gives version \"$(sed -n 's/^DisplayVersion=//p' <<<"$entry")\", not $expected"
    grep -qxF "Publisher=$publisher" <<<"$entry" ||
        fail "Apps & Features gives publisher \"$(sed -n 's/^Publisher=//p' <<<"$entry")\""
    # Apps & Features takes the icon from Windows Installer's own record of the product.
    product=$(installer_product "$code")
    icon=$(sed -n 's/^ProductIcon=//p' <<<"$product")
    [ -n "$icon" ] && [ -s "$(unixpath "$icon")" ] || fail "the product's icon for Apps & Features \"$icon\" is not there"
}

# --- the package's own tables: what Windows does with them that Wine does not show ---------------------------
[ "$(msi_property "$msi" ALLUSERS)" = 1 ] || fail "the package does not install per machine (ALLUSERS)"
[ "$(msi_property "$msi" ProductName)" = "$name" ] || fail "the package's ProductName is \"$(msi_property "$msi" ProductName)\""
[ -n "$(msi_property "$msi" ARPPRODUCTICON)" ] || fail "the package gives Apps & Features no icon (ARPPRODUCTICON)"
[ -n "$(msi_property "$msi" UpgradeCode)" ] || fail "the package has no UpgradeCode"
if [ -n "$version" ]; then
    [ "$(msi_property "$msi" ProductVersion)" = "$version" ] ||
        fail "the package's version is $(msi_property "$msi" ProductVersion), not $version"
fi
if [ -n "$next_msi" ]; then
    [ "$(msi_property "$next_msi" UpgradeCode)" = "$(msi_property "$msi" UpgradeCode)" ] ||
        die "the later package has another UpgradeCode and would not replace the first"
fi
# The game's title carries the program's version, which the first package's must match.
title="^$name"
[ -z "$version" ] || title="^$name   ver\\. ${version//./\\.}\$"

start_x_server
echo "== a fresh Wine prefix on $DISPLAY"
wine_run wineboot --init >"$work/wineboot.log" 2>&1 || { tail -5 "$work/wineboot.log" >&2; die "wineboot failed"; }
before=$(cd "$program_files" && ls -A)

echo "== msiexec /i $(basename "$msi") /qn"
start=$SECONDS
wine_run msiexec /i "$(winpath "$msi")" /qn || die "msiexec /i ended with status $?"
echo "installed in $((SECONDS - start)) s"
check_installed "$msi" "${version:-$(msi_property "$msi" ProductVersion)}"

echo "== the game, from where it was installed and from the Start menu entry"
play "from $win_program" "$install_dir" "$win_program"
lnk=$(find_shortcut)
if [ -n "$lnk" ]; then
    $python "$here/lnk_target.py" "$lnk" >"$work/lnk"
    play "from the Start menu entry's target" "$(unixpath "$(sed -n 's/^workdir=//p' "$work/lnk")")" \
        "$(sed -n 's/^target=//p' "$work/lnk")"
fi

installed=$msi
if [ -n "$next_msi" ]; then
    echo "== msiexec /i $(basename "$next_msi") /qn, the upgrade to $next_version"
    wine_run msiexec /i "$(winpath "$next_msi")" /qn || die "msiexec /i of the later package ended with status $?"
    check_installed "$next_msi" "$next_version"
    [ -z "$(uninstall_entry "$(msi_property "$msi" ProductCode)")" ] ||
        fail "after the upgrade, Apps & Features still lists the older version"
    installed=$next_msi

    echo "== msiexec /i $(basename "$msi") /qn again: an older version is refused"
    if wine_run msiexec /i "$(winpath "$msi")" /qn; then
        fail "the older package installed over the newer one"
    fi
    check_installed "$next_msi" "$next_version"
fi

echo "== msiexec /x $(basename "$installed") /qn"
wine_run msiexec /x "$(winpath "$installed")" /qn || die "msiexec /x ended with status $?"
after=$(cd "$program_files" && ls -A)
[ "$after" = "$before" ] || fail "Program Files held \"${before//$'\n'/ }\" before and \"${after//$'\n'/ }\" after"
[ ! -e "$install_dir" ] || fail "$install_dir is still there"
[ -z "$(find_shortcut)" ] || fail "the Start menu entry is still there"
[ -z "$(find_shortcut "$fullscreen_name")" ] || fail "the full-screen Start menu entry is still there"
[ -z "$(uninstall_entry "$(msi_property "$installed" ProductCode)")" ] || fail "Apps & Features still lists the game"
[ -z "$(installer_product "$(msi_property "$installed" ProductCode)")" ] || fail "Windows Installer still knows the game"

echo "== msiexec /i $(basename "$msi") MODE=kiosk /qn: a computer lab's kiosk"
wine_run msiexec /i "$(winpath "$msi")" MODE=kiosk /qn || die "msiexec /i MODE=kiosk ended with status $?"
[ "$(registry_values "$settings_key")" = "mode=kiosk" ] ||
    fail "installed with MODE=kiosk, the game's setting is \"$(registry_values "$settings_key")\""
(cd "$install_dir" && exec "$wine" "$win_program") >"$work/game.log" 2>&1 &
game_pid=$!
if wait_for 90 eval '[ -n "$(window_of "$title")" ]'; then
    window=$(window_of "$title")
    # The whole screen, as the kiosk asks of the window system.
    screen=$(xdotool getdisplaygeometry)
    wait_for 30 eval '[ "$(xdotool getwindowgeometry --shell "$window" | sed -n "s/^WIDTH=//p;s/^HEIGHT=//p" | paste -sd" ")" = "$screen" ]' ||
        fail "the kiosk's window is $(xdotool getwindowgeometry "$window" | tail -1), not the screen's $screen"
    xdotool windowfocus --sync "$window" key --clearmodifiers ctrl+alt+shift+q
    wait_for 30 eval '! kill -0 $game_pid 2>/dev/null' || fail "the teacher's chord did not end the kiosk within 30 s"
    status=0
    wait "$game_pid" || status=$?
    [ "$status" -eq 0 ] || fail "the kiosk ended with status $status on the teacher's chord"
else
    fail "installed with MODE=kiosk, the game showed no window"
    kill "$game_pid" 2>/dev/null || true
fi
game_pid=
wine_run msiexec /x "$(winpath "$msi")" /qn || die "msiexec /x ended with status $?"
[ -z "$(registry_values "$settings_key")" ] || fail "removed, the game left its setting behind"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
