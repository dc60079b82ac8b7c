#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix WINEPREFIX names, quietly and without Wine's offers to
# install Mono or Gecko or its menu entries on the host. Wine keeps the host's QT_* variables from Windows
# programs (they are meant for Qt on the host) and hands on WINEQT_* as QT_*, so the QT_* settings a test
# asks for are renamed on the way.
#   wine-run.sh PROGRAM [ARGS...]   runs it and exits with its status
#   wine-run.sh --capture PROGRAM [ARGS...]   the same, its output passed on once it has ended
#   wine-run.sh --init              makes the prefix anew (64-bit)
#   wine-run.sh --init-shared       the same, for many headless programs at once: its wineserver and Wine's
#                                   services keep running until --stop
#   wine-run.sh --stop              ends the prefix's wineserver and every program in it
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX names the prefix}"
export WINEPREFIX WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
case ${1-} in
  --init | --init-shared)
    # A server that is ending still writes its registry into the prefix: it must be gone before the prefix.
    wineserver -k 2>/dev/null || true
    wineserver -w
    rm -rf "$WINEPREFIX"
    wine wineboot --init
    wineserver -w
    if [ "$1" = --init-shared ]; then
      # One server and one set of Wine's own services for the whole run, started here with nothing to write
      # to: started by a test, they would keep its output open after it ends, and CTest would wait for it.
      wineserver --persistent </dev/null >/dev/null 2>&1
      wine cmd /c exit </dev/null >/dev/null 2>&1
    fi
    ;;
  --stop) wineserver -k 2>/dev/null || true ;;
  --capture)
    # For CTest: Wine's services, started on demand by a program, outlive it holding what it writes to; so
    # the program writes to a file, and this script, which ends with it, passes the file on.
    shift
    out=$(mktemp)
    trap 'rm -f "$out"' EXIT
    status=0
    "$0" "$@" >"$out" 2>&1 || status=$?
    cat "$out"
    exit $status
    ;;
  *)
    while IFS= read -r name; do
      export "WINE$name=${!name}"
    done < <(compgen -e | grep '^QT_' || true)
    exec wine "$@"
    ;;
esac
