#!/bin/sh
# Runs a Windows program of the test suite under Wine: in the given prefix,
# which is made on first use, quietly, and under a Western user locale so
# that the ANSI code page is 1252.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
WINEPREFIX=$1
shift
# No Mono or Gecko installs and no desktop menu entries for a test prefix.
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINEDEBUG=-all
LANG=en_US.UTF-8
LC_ALL=en_US.UTF-8
export WINEPREFIX WINEDLLOVERRIDES WINEDEBUG LANG LC_ALL

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One test makes the prefix; any others started meanwhile wait for it.
  flock "$WINEPREFIX.lock" sh -c '
    [ -f "$WINEPREFIX/system.reg" ] && exit 0
    wineboot -i >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log" >&2; exit 1; }
    wineserver -w'
fi
exec wine "$@"
