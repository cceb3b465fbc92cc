#!/bin/sh
# Runs a Windows program of the test suite under Wine: in the given prefix,
# which is made on first use for the given architecture (win32 or win64),
# quietly, and under a Western user locale so that the ANSI code page is
# 1252. Wine names files on the Unix side in the character set of LC_CTYPE;
# that is C.UTF-8, which every glibc has, since en_US.UTF-8 is often not
# generated, and without it Wine could name no file beyond ASCII.
# Usage: wine-run.sh WINEARCH PREFIX PROGRAM [ARGUMENT...]
set -eu
WINEARCH=$1
WINEPREFIX=$2
shift 2
# No Mono or Gecko installs and no desktop menu entries for a test prefix.
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINEDEBUG=-all
LANG=en_US.UTF-8
LC_CTYPE=C.UTF-8
unset LC_ALL
export WINEARCH WINEPREFIX WINEDLLOVERRIDES WINEDEBUG LANG LC_CTYPE

# Debian's wine starts 32-bit programs; 64-bit ones need its wine64 loader.
wine=wine
if [ "$WINEARCH" = win64 ]; then
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One test makes the prefix; any others started meanwhile wait for it.
  flock "$WINEPREFIX.lock" sh -c '
    [ -f "$WINEPREFIX/system.reg" ] && exit 0
    "$1" wineboot -i >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log" >&2; exit 1; }
    wineserver -w' sh "$wine"
fi
exec "$wine" "$@"
