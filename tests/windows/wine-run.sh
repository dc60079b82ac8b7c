#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix WINEPREFIX names, quietly and without Wine's offers to
# install Mono or Gecko or its menu entries on the host. Wine keeps the host's QT_* variables from Windows
# programs (they are meant for Qt on the host) and hands on WINEQT_* as QT_*, so the QT_* settings a test
# asks for are renamed on the way.
#   wine-run.sh PROGRAM [ARGS...]   runs it and exits with its status
#   wine-run.sh --init              makes the prefix anew (64-bit) and keeps its wineserver running
#   wine-run.sh --stop              ends the prefix's wineserver and every program in it
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX names the prefix}"
export WINEPREFIX WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
case ${1-} in
  --init)
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    wine wineboot --init
    wineserver -w
    # One server and one set of Wine's own services for the whole run, started here with nothing to write to:
    # started by a test, they would keep its output open after it ends, and CTest would wait for it.
    wineserver --persistent </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  --stop) wineserver -k 2>/dev/null || true ;;
  *)
    while IFS= read -r name; do
      export "WINE$name=${!name}"
    done < <(compgen -e | grep '^QT_' || true)
    exec wine "$@"
    ;;
esac
