#!/usr/bin/env bash
# Builds the portable Linux download, one folder that runs from wherever it is unpacked:
#   build-portable/tropilka-VERSION-linux-x86_64.tar.gz
# Built with a clean Debian 11 system's compiler, headers and libraries (debootstrap, kept in the cache, used as
# a sysroot by the host's CMake), so the program asks no newer C library than glibc 2.31; Qt is static, built
# once so from the host's qt6-base source and kept in the cache under a name made of Qt's version, the compiler
# and the options. libstdc++ and libgcc go into the program.
#
#   tools/build-portable.sh           the folder and the archive
#   tools/build-portable.sh --qt-only only the Debian 11 system and Qt
#
# TROPILKA_PORTABLE_CACHE names the cache (default /var/cache/tropilka-portable). Run as root (debootstrap,
# debootstrap), with debootstrap installed and a Debian mirror reachable through the machine's apt sources.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
qt_only=false
for arg in "$@"; do
  case $arg in
    --qt-only) qt_only=true ;;
    *) echo "usage: $0 [--qt-only]" >&2; exit 2 ;;
  esac
done
fail() { echo "build-portable: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "must run as root (debootstrap)"
"$root/tools/install-deps.sh" portable || fail "could not install the packages the portable build needs"

cache=${TROPILKA_PORTABLE_CACHE:-/var/cache/tropilka-portable}
system=$cache/bullseye
jobs=$(nproc)
max_glibc=2.31

# Only what the game uses: Core, Gui and Widgets with the X11 platform, and Test for the check of its faces. FreeType comes from the system because
# Qt reads faces through fontconfig only with the system's FreeType; the rest is carried inside the program.
# No GLib, D-Bus, session management or ICU, so none of their libraries is needed.
qt_options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_sql=OFF -DFEATURE_xml=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_egl=OFF
  -DFEATURE_glib=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DFEATURE_sessionmanager=OFF -DFEATURE_gtk3=OFF -DFEATURE_libudev=OFF -DFEATURE_libinput=OFF
  -DFEATURE_linuxfb=OFF -DFEATURE_vnc=OFF -DFEATURE_evdev=OFF -DFEATURE_tslib=OFF -DFEATURE_mtdev=OFF
  -DFEATURE_xcb=ON -DFEATURE_fontconfig=ON -DFEATURE_system_freetype=ON
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
)
# Debian 11's CMake is older than a static Qt or the game wants: the host's runs, with Debian 11 as the sysroot.
build_packages=(
  g++ libfontconfig-dev libfreetype-dev
  libx11-dev libx11-xcb-dev libxcb1-dev libxcb-icccm4-dev libxcb-image0-dev
  libxcb-keysyms1-dev libxcb-randr0-dev libxcb-render0-dev libxcb-render-util0-dev libxcb-shape0-dev
  libxcb-shm0-dev libxcb-sync-dev libxcb-util-dev libxcb-xfixes0-dev libxcb-xkb-dev libxcb-xinput-dev
  libxkbcommon-dev libxkbcommon-x11-dev
)

# --- the Debian 11 system ----------------------------------------------------------------------------------------
make_system() {
  # The mirror is the one this machine's apt uses, or debootstrap's own default.
  local mirror link target
  mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Label: Debian' 'Target-Of: deb' 2>/dev/null |
    sort -u | sed -n 1p) || mirror=
  rm -rf "$system.partial"
  debootstrap --variant=minbase --include="$(IFS=,; echo "${build_packages[*]}")" bullseye "$system.partial" \
    ${mirror:+"$mirror"} >"$cache/debootstrap.log" 2>&1 || fail "debootstrap failed; its log is $cache/debootstrap.log"
  # Seen from the host, a link to an absolute path would leave the system: the linker must find Debian 11's.
  while IFS= read -r link; do
    target=$(readlink "$link")
    [ "${target#/}" = "$target" ] ||
      ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$system.partial$target")" "$link"
  done < <(find "$system.partial/usr/lib" "$system.partial/usr/lib64" -type l)
  mv "$system.partial" "$system"
}
mkdir -p "$cache"
[ -d "$system" ] || make_system
export TROPILKA_SYSROOT=$system
toolchain=$root/cmake/debian11-sysroot.cmake

# --- Qt ----------------------------------------------------------------------------------------------------------
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) || fail "qt6-base-dev is not installed"
compiler=$("$system/usr/bin/g++-10" --version | head -1)
key=$(printf '%s\n' "$qt_version" "$compiler" "${qt_options[@]}" | sha256sum | cut -c1-12)
qt_prefix=$cache/qt-${qt_version//[:~]/_}-$key

build_qt() {
  SECONDS=0
  local work=$cache/work-$key
  rm -rf "$work" "$qt_prefix"
  "$root/tools/fetch-qt-source.sh" "$work" "$qt_version" || fail "no Qt source to build"

  echo "Building Qt $qt_version against Debian 11 (static)"
  local log=$work/qt-build.log
  if ! { cmake -S "$work/qtbase" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
           -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${qt_options[@]}" &&
         cmake --build "$work/build" --parallel "$jobs" &&
         cmake --install "$work/build"; } >"$log" 2>&1; then
    tail -30 "$log" >&2
    rm -rf "$qt_prefix"
    fail "the Qt build failed; its log is $log"
  fi
  touch "$qt_prefix/.complete"
  echo "Qt for the portable build built in $((SECONDS / 60)) min $((SECONDS % 60)) s"
  rm -rf "$work"
}
if [ -f "$qt_prefix/.complete" ]; then
  echo "Qt for the portable build: $qt_prefix (cached)"
else
  build_qt
fi
$qt_only && exit 0

# --- the game ----------------------------------------------------------------------------------------------------
SECONDS=0
out=$root/build-portable
cmake -S "$root" -B "$out/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$qt_prefix" -DBUILD_TESTING=OFF \
  "-DCMAKE_EXE_LINKER_FLAGS=-static-libstdc++ -static-libgcc" >/dev/null
cmake --build "$out/build" --parallel "$jobs"
echo "The game built against Debian 11 in $((SECONDS / 60)) min $((SECONDS % 60)) s"
# Installed into a stage, stripped, as the package is: the menu entry, the icon and the copyright come with it.
stage=$out/stage
rm -rf "$stage"
DESTDIR=$stage cmake --install "$out/build" --prefix /usr --strip >/dev/null
program=$stage/usr/games/tropilka

# --- what the program still asks of the system -------------------------------------------------------------------
"$root/packaging/portable/needs.sh" "$program" "$max_glibc" || fail "the program needs more than glibc $max_glibc"

# --- the folder and the archive ----------------------------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/build/CMakeCache.txt")
name=tropilka-$version-linux-x86_64
rm -rf "${out:?}/${name:?}"
mkdir -p "$out/$name"
install -m 755 "$program" "$root/packaging/portable/install.sh" "$out/$name/"
install -m 644 "$root/packaging/portable/README.ru.txt" "$stage"/usr/share/doc/*/copyright "$out/$name/"
install -m 644 "$stage"/usr/share/icons/hicolor/128x128/apps/*.png "$out/$name/tropilka.png"
# The faces the layout is made for, carried for systems that have only DejaVu's (wider: "Старт игры" would take
# two lines), with their licence added to the folder's copyright. Liberation 2 is fonts-liberation2 on Debian 12
# and fonts-liberation from Debian 13 on.
faces=$(dpkg -L fonts-liberation2 fonts-liberation 2>/dev/null |
  grep -E '/Liberation(Sans|Serif)-[A-Za-z]+\.ttf$' | awk -F/ '!seen[$NF]++') || true
[ "$(wc -w <<<"$faces")" -eq 8 ] || fail "Liberation 2's Sans and Serif faces are not installed (fonts-liberation2)"
faces_package=$(dpkg -S "$(sed -n 1p <<<"$faces")" | cut -d: -f1)
dpkg --compare-versions "$(dpkg-query -W -f='${Version}' "$faces_package")" ge 1:2 ||
  [ "$faces_package" = fonts-liberation2 ] || fail "$faces_package is older than Liberation 2"
mkdir -p "$out/$name/fonts"
# shellcheck disable=SC2086 # one path per word
install -m 644 $faces "$out/$name/fonts/"
{ echo; awk -v RS= 'NR == 2 { sub(/^Files: \*/, "Files: fonts/*"); print }' \
    "/usr/share/doc/$faces_package/copyright"; } >>"$out/$name/copyright"
grep -q '^Files: fonts/\*' "$out/$name/copyright" || fail "no licence of the faces in the copyright file"
# install.sh writes the folder's own path into Exec when it puts the entry into the menu.
sed -e 's|^Icon=.*|Icon=tropilka|' -e 's|^Exec=[^ ]*|Exec=tropilka|' \
  "$stage"/usr/share/applications/*.desktop >"$out/$name/tropilka.desktop"
tar -C "$out" --owner=0 --group=0 -czf "$out/$name.tar.gz" "$name"
size=$(stat -c %s "$out/$name.tar.gz")
echo "$out/$name.tar.gz: $size bytes"
[ "$size" -lt $((30 * 1024 * 1024)) ] || fail "the archive is over 30 MB"

# --- the faces' check, built against the same Qt, for tools/try-portable-in-chroot.sh (not in the archive) -------
# A system with none of the faces the layout was made for shapes the texts with this Qt's own HarfBuzz.
SECONDS=0
cmake -S "$root" -B "$out/tests" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$qt_prefix" -DBUILD_TESTING=ON \
  "-DCMAKE_EXE_LINKER_FLAGS=-static-libstdc++ -static-libgcc" >/dev/null
cmake --build "$out/tests" --parallel "$jobs" --target tst_fonts
install -m 755 "$out/tests/tests/tst_fonts" "$out/tst_fonts"
echo "The faces' check built in $((SECONDS / 60)) min $((SECONDS % 60)) s: $out/tst_fonts"
