#!/bin/sh
# Runs a Windows test program under 64-bit Wine with a prefix inside the build folder,
# quietly and without a display. The prefix is created on first use.
: "${TOVARIN_WINEPREFIX:=${TMPDIR:-/tmp}/tovarin-wineprefix}"
export WINEPREFIX="$TOVARIN_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
