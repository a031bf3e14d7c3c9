#!/bin/bash
# Runs the error-box test under a virtual display with Wine's relay trace restricted to
# MessageBoxA, then checks the exact arguments the stub passed: no owner (no splash is
# shown), message 1, caption "Error", style 0x50030 (warning icon, set-foreground,
# topmost).
# usage: error_box.sh WINE_RUN TEST.exe
set -u
if [ "${1:-}" = --inside-display ]; then
  # Second half, inside the virtual display: set up the trace, run the test, end Wine.
  wine_run=$2 test=$3
  WINEDEBUG=-all "$wine_run" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d user32.MessageBoxA /f >/dev/null 2>&1
  WINEDEBUG=+relay "$wine_run" "$test" 2>&1
  rc=$?
  WINEPREFIX="$TOVARIN_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
  exit $rc
fi
wine_run=$1 test=$2
# A prefix of its own: its wineserver and desktop live and die with this display, and
# the other Wine tests running meanwhile are not disturbed.
export TOVARIN_WINEPREFIX="${TOVARIN_WINEPREFIX:-/tmp/tovarin-wineprefix}-box"
output=$(xvfb-run -a bash "$0" --inside-display "$wine_run" "$test" 2>&1)
rc=$?
echo "$output" | grep -v ':trace:relay:load_list'
[ $rc -eq 0 ] || { echo "FAIL: the box test failed ($rc)"; exit 1; }
expected='MessageBoxA\(00000000,[0-9a-f]* "Java Runtime Environment not found\.",[0-9a-f]* "Error",00050030\)'
if ! grep -qE "Call user32\.$expected" <<<"$output"; then
  echo "FAIL: no MessageBoxA call with $expected"
  exit 1
fi
echo "ok: MessageBoxA received the owner, text, caption and style expected"
