#!/usr/bin/env bash
# Tries a release as a new user would, in a clean Debian SUITE (debootstrap --variant=minbase): the committed
# HEAD of this repository cloned into it, the README's build and test commands run there as root, the game
# started headless, then the Debian package built, installed with apt, started as an ordinary user and removed.
# The package is also installed into a second fresh system, of INSTALL_SUITE (SUITE unless given), without
# recommended packages, and started there headless and on an X server: its Depends alone must bring in all
# the game needs. Prints the time of each step and how many packages each README command installed; the
# steps' output and the package go to a folder that is kept.
# The systems come from the Debian mirror this machine's apt uses, or debootstrap's own default.
# Usage, as root with debootstrap installed and a Debian mirror reachable:
#   tools/try-release-in-chroot.sh [--windows] SUITE [INSTALL_SUITE]        (bookworm, trixie)
# With --windows it also runs the README's Windows command there (Qt for Windows built from that release's
# source, the exe, the MSI and the zip) and the Windows tests under Wine.
#   tools/try-release-in-chroot.sh --portable [SUITE...]                    (default: bullseye bookworm trixie)
# With --portable it builds the portable download here and tries it in clean systems with no Qt at all.
set -euo pipefail

if [ "${1-}" = --portable ]; then
    shift
    here=$(cd "$(dirname "$0")" && pwd)
    "$here/build-portable.sh"
    exec "$here/try-portable-in-chroot.sh" "$(ls -t "$here"/../build-portable/tropilka-*-linux-x86_64.tar.gz | head -1)" "$@"
fi

windows=no
if [ "${1-}" = --windows ]; then
    windows=yes
    shift
fi
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 [--windows] SUITE [INSTALL_SUITE]" >&2
    exit 2
fi
suite=$1
install_suite=${2:-$1}
[ "$(id -u)" -eq 0 ] || { echo "$0: must run as root (debootstrap, chroot, mount)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "$0: needs debootstrap (apt-get install debootstrap)" >&2; exit 2; }

# apt reads both kinds of sources file (one-line and deb822) and knows from the Release files which archive is
# Debian's own, not its security or backports archive. Empty where apt has not fetched its lists yet.
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Label: Debian' 'Target-Of: deb' 2>/dev/null |
    sort -u | sed -n 1p) || mirror=

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
work=$(mktemp -d /var/tmp/tropilka-release.XXXXXX)
system=$work/system # where the README's commands run
fresh=$work/fresh   # a fresh system of INSTALL_SUITE, for the package alone
logs=$(mktemp -d "/var/tmp/tropilka-release-$suite-logs.XXXXXX")
checkout=/root/tropilka
user=pupil # the ordinary user who plays the installed game, and who tests may run things as
failed=()

# ---- mounts and clean-up

# Processes started in a root that are still running would keep its mounts busy.
stop_leftovers() {
    local root=$1 proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -KILL "${proc#/proc/}" 2>/dev/null
    done
    return 0
}
mounted_here() {
    findmnt --list --noheadings --output TARGET | grep "^$work/" || true
}
cleanup() {
    local target
    stop_leftovers "$system"
    stop_leftovers "$fresh"
    # Deepest first: /dev/pts before /dev.
    mounted_here | sort -r | while read -r target; do
        umount "$target" || umount --lazy "$target" || true
    done
    # Never delete through a mount that is still there: it could be the machine's own /dev.
    if [ -n "$(mounted_here)" ]; then
        echo "left $work in place: something is still mounted there" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mount_in() { # <root> <path in root> <mount arguments...>
    local target=$1$2
    shift 2
    mkdir -p "$target"
    mount "$@" "$target"
    # A bind mount of the machine's /dev must not pass mounts made under it back to the machine.
    mount --make-rprivate "$target"
}

# What programs, tests and apt expect of a running system, each root with its own /dev/shm and /run.
prepare_root() {
    local root=$1
    mount_in "$root" /proc -t proc proc
    mount_in "$root" /sys -t sysfs -o ro sysfs
    mount_in "$root" /dev --bind /dev
    mount_in "$root" /dev/pts --bind /dev/pts
    mount_in "$root" /dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs
    mount_in "$root" /run -t tmpfs -o mode=755,nosuid,nodev tmpfs
    mkdir -p "$root/run/lock" && chmod 1777 "$root/run/lock"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    # Packages must not start services in a chroot.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
    chroot "$root" useradd --create-home --shell /bin/bash "$user"
    local uid
    for uid in 0 "$(chroot "$root" id -u "$user")"; do
        install -d -m 700 -o "$uid" -g "$uid" "$root/run/user/$uid"
    done
}

# ---- steps

# A login's environment, nothing of this shell's.
as_root() { # <root> <command line>
    chroot "$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "cd $checkout 2>/dev/null; $2"
}

step_count=0
report=()
# step [--may-fail] <name> <command...>: runs and times one step, its output in the log folder. A failing step
# ends the try unless it may fail; then it is reported at the end. A subshell of its own, not an `||` list,
# so that a failing command inside the step stops it.
step() {
    local may_fail=no
    [ "$1" = --may-fail ] && { may_fail=yes; shift; }
    local name=$1
    shift
    step_count=$((step_count + 1))
    local log
    log=$logs/$(printf '%02d' "$step_count")-${name//[^A-Za-z0-9]/-}.log
    echo "-- $name"
    local start=$EPOCHREALTIME status=0
    ("$@") >"$log" 2>&1 &
    wait $! || status=$?
    local seconds
    seconds=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    local result=ok
    [ $status -eq 0 ] || result="FAILED ($status)"
    report+=("$(printf '%8s s  %-12s %s' "$seconds" "$result" "$name")")
    echo "   $result in $seconds s"
    if [ $status -ne 0 ]; then
        tail -n 25 "$log" | sed 's/^/   | /'
        failed+=("$name")
        [ $may_fail = yes ] || exit 1
    fi
}

# The line of the README's set-up commands (or of docs/debian.md's, for the package) that ends with <pattern>.
readme_command() {
    local line
    line=$(cat "$repo/README.md" "$repo/docs/debian.md" | grep -m1 -E "^    tools/install-deps\.sh .*$1\$") ||
        { echo "README.md and docs/debian.md have no command ending in '$1'" >&2; exit 1; }
    echo "${line#    }"
}

# Starts a program in a root, waits until it has shown its window, checks that it still runs and stops it.
# Qt logs the window at full size once it is on screen: as its first flush (Qt 6.8) or as the window's
# accessible interface (Qt 6.4).
start_game() { # <root> <user> <program> <platform variables...>
    local root=$1 who=$2 program=$3 home uid
    shift 3
    home=$(chroot "$root" getent passwd "$who" | cut -d: -f6)
    uid=$(chroot "$root" id -u "$who")
    local out=$logs/game-output.log
    chroot --userspec="$who:$who" "$root" /usr/bin/env -i HOME="$home" LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="/run/user/$uid" PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games "$@" \
        QT_LOGGING_RULES='qt.widgets.painting.debug=true;qt.accessibility.cache.debug=true' \
        "$program" >"$out" 2>&1 &
    local pid=$! tries=0
    until grep -q '648x536' "$out"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || true
            echo "$program ended before showing its window"
            cat "$out"
            return 1
        fi
        tries=$((tries + 1))
        if [ $tries -gt 600 ]; then
            kill "$pid"
            wait "$pid" || true
            echo "$program showed no window in 60 s"
            return 1
        fi
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null || { echo "$program ended after showing its window"; return 1; }
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    echo "$program showed its window and ran until stopped (status $status)"
    cat "$out"
    [ $status -eq 143 ]
}
start_headless() { # <root> <user> <program>
    start_game "$@" QT_QPA_PLATFORM=offscreen
}
# On a private X server, with the X11 platform plugin.
start_on_x11() { # <root> <user> <program>
    local root=$1 display xvfb
    read -r display xvfb < <(/usr/bin/python3 "$repo/tests/display/xvfb.py" --size 1024x768 chroot "$root") ||
        { echo "Xvfb did not start"; return 1; }
    local status=0
    start_game "$@" QT_QPA_PLATFORM=xcb DISPLAY="$display" || status=$?
    kill "$xvfb"
    return $status
}

make_system() {
    debootstrap --variant=minbase "$suite" "$system" ${mirror:+"$mirror"}
    installed_packages "$system" >"$logs/packages.base"
}
make_fresh() {
    if [ "$install_suite" = "$suite" ]; then
        cp -a "$system" "$fresh"
    else
        debootstrap --variant=minbase "$install_suite" "$fresh" ${mirror:+"$mirror"}
    fi
}
clone() {
    git clone --no-hardlinks "$repo" "$system$checkout"
    git -C "$system$checkout" checkout --detach "$commit"
}
installed_packages() { # <root>
    chroot "$1" dpkg-query -W -f '${db:Status-Abbrev}\n' | grep -c '^ii'
}
# Runs a README command and tells how many packages it brought into the system.
counting_packages() { # <what> <command...>
    local what=$1
    shift
    local before status=0
    before=$(installed_packages "$system")
    "$@" || status=$?
    echo "$what: $(($(installed_packages "$system") - before)) packages installed" | tee -a "$logs/packages"
    return $status
}
build_and_run() {
    counting_packages "README: build" \
        as_root "$system" "$(readme_command '&& build/tropilka' | sed 's| && build/tropilka$||')"
}
run_tests() {
    counting_packages "README: test suite" as_root "$system" "$(readme_command 'ctest --preset testing')"
}
build_for_windows() {
    as_root "$system" "tools/build-windows.sh --tests && ctest --preset windows --parallel 2"
}
build_package() {
    local line
    line=$(readme_command 'apt install ./build/tropilka_\*\.deb')
    as_root "$system" "${line%% && sudo apt install*}"
}
install_package() { # <root> <folder of the package in root> [apt options...]
    local root=$1 folder=$2
    shift 2
    as_root "$root" "apt-get update && apt install -y $* $folder/tropilka_*.deb"
}
remove_package() { # <root>
    as_root "$1" "apt remove -y tropilka && ! test -e /usr/games/tropilka"
}
copy_package() {
    cp "$system$checkout"/build/tropilka_*.deb "$fresh/tmp/"
    cp "$system$checkout"/build/tropilka_*.deb "$logs/"
}
install_x_server() { # <root>
    as_root "$1" "apt-get install -y --no-install-recommends xvfb"
}

echo "trying $commit on $suite, installing also on $install_suite; logs in $logs"
step "debootstrap $suite" make_system
step "fresh $install_suite system" make_fresh
step "mounts, user $user" prepare_root "$system"
step "clone the repository" clone
step "README: build" build_and_run
step "README: start build/tropilka" start_headless "$system" root "$checkout/build/tropilka"
step --may-fail "README: test suite" run_tests
[ $windows = no ] || step --may-fail "README: build for Windows, tests under Wine" build_for_windows
step "README: build the package" build_package
step "apt install the package" install_package "$system" "$checkout/build"
step "start /usr/games/tropilka" start_headless "$system" "$user" /usr/games/tropilka
step "apt remove the package" remove_package "$system"
step "fresh system: mounts, user $user" prepare_root "$fresh"
step "fresh system: copy the package" copy_package
step "fresh system: apt install the package" install_package "$fresh" /tmp --no-install-recommends
step "fresh system: start /usr/games/tropilka" start_headless "$fresh" "$user" /usr/games/tropilka
step "fresh system: install an X server" install_x_server "$fresh"
step "fresh system: start /usr/games/tropilka on X11" start_on_x11 "$fresh" "$user" /usr/games/tropilka
step "fresh system: apt remove the package" remove_package "$fresh"

echo
echo "== built on $suite, installed also on $install_suite; $commit"
printf '%s\n' "${report[@]}"
echo "minbase $suite: $(cat "$logs/packages.base") packages"
cat "$logs/packages" 2>/dev/null || true
if [ ${#failed[@]} -gt 0 ]; then
    echo "failed: ${failed[*]} (logs in $logs)"
    exit 1
fi
echo "all steps passed (logs in $logs)"
