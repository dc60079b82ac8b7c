#!/usr/bin/env bash
# Builds the game for 64-bit Windows 10 and 11 on Debian 12 or 13, with MinGW-w64:
#   build-windows/tropilka.exe                 one static program that runs from any folder
#   build-windows/tropilka-VERSION-x64.msi     the installer for one PC or many (msiexec /i ... /qn)
#   build-windows/tropilka-VERSION-windows.zip the program to carry on a USB stick
# Qt for Windows is built once from Debian's own qt6-base source (the host's release, so the host's moc and
# rcc serve) and kept in a cache outside the tree, under a name made of Qt's version and the build options.
#
#   tools/build-windows.sh            the exe, the MSI and the zip
#   tools/build-windows.sh --tests    also the test suite for Windows, in build-windows/tests/
#   tools/build-windows.sh --qt-only  only Qt
#
# TROPILKA_WINDOWS_CACHE names the cache (default /var/cache/tropilka-windows, or ~/.cache/tropilka-windows for
# a user who is not root). Run as root, or as a user who may use sudo, to have the packages installed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tests=OFF
qt_only=false
for arg in "$@"; do
  case $arg in
    --tests) tests=ON ;;
    --qt-only) qt_only=true ;;
    *) echo "usage: $0 [--tests] [--qt-only]" >&2; exit 2 ;;
  esac
done

fail() { echo "build-windows: $*" >&2; exit 1; }

if [ "$(id -u)" -eq 0 ]; then
  cache=${TROPILKA_WINDOWS_CACHE:-/var/cache/tropilka-windows}
else
  cache=${TROPILKA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tropilka-windows}
fi
"$root/tools/install-deps.sh" windows || fail "could not install the packages the Windows build needs"

toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

# Only what the game and its tests use: Core, Gui, Widgets and Test; the windows and offscreen platforms (the
# latter needs FreeType) and the Windows styles. Debian's repack drops the tablet header; with OpenGL off the
# Windows platform plugin of 6.4 compiles only with dynamic GL off too; and Qt Gui has DirectWrite's font
# engine, which the plugin links to, only with Direct2D.
qt_options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_sql=OFF -DFEATURE_xml=OFF
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
)

# --- Qt --------------------------------------------------------------------------------------------------------
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) || fail "qt6-base-dev is not installed"
# The name of Qt's folder in the cache: what decides the build's result, the compiler included.
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -1)
key=$(printf '%s\n' "$qt_version" "$compiler" "${qt_options[@]}" | sha256sum | cut -c1-12)
qt_prefix=$cache/qt-${qt_version//[:~]/_}-$key

build_qt() {
  SECONDS=0
  local work=$cache/work-$key
  rm -rf "$work" "$qt_prefix.partial"
  "$root/tools/fetch-qt-source.sh" "$work" "$qt_version" || fail "no Qt source to build"

  echo "Building Qt $qt_version for Windows (static); this takes about 20 minutes on two cores"
  local log=$work/qt-build.log
  if ! { cmake -S "$work/qtbase" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
           -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
           -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${qt_options[@]}" &&
         cmake --build "$work/build" --parallel "$jobs" &&
         cmake --install "$work/build"; } >"$log" 2>&1; then
    tail -30 "$log" >&2
    rm -rf "$qt_prefix"
    fail "the Qt build failed; its log is $log"
  fi
  # Finished only now: a later run takes the folder as it is.
  touch "$qt_prefix/.complete"
  echo "Qt for Windows built in $((SECONDS / 60)) min $((SECONDS % 60)) s"
  rm -rf "$work"
}

if [ -f "$qt_prefix/.complete" ]; then
  echo "Qt for Windows: $qt_prefix (cached)"
else
  build_qt
fi
$qt_only && exit 0

# --- the game, its installer and the zip -----------------------------------------------------------------------
SECONDS=0
build=$root/build-windows
cmake --preset windows -DCMAKE_PREFIX_PATH="$qt_prefix" -DBUILD_TESTING="$tests" >/dev/null
cmake --build --preset windows --parallel "$jobs"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "Built for Windows in $((SECONDS / 60)) min $((SECONDS % 60)) s:"
for file in "$build/tropilka.exe" "$build/tropilka-$version-x64.msi" "$build/tropilka-$version-windows.zip"; do
  [ -f "$file" ] || fail "$file is missing"
  printf '  %s (%s bytes)\n' "${file#"$root"/}" "$(stat -c %s "$file")"
done
