#!/bin/bash
# A bare stub (nothing appended) starts, finds no main class to launch and ends with the
# launch result of its failure, having shown the matching message: 1 when no runtime is
# found, 7 when one is found but no main class is configured.
# usage: bare_stub.sh RUNNER... STUB   (RUNNER is empty for host, the Wine wrapper for win64)
set -u
output=$(env -u JAVA_HOME -u JRE_HOME -u DISPLAY "$@" 2>&1)
rc=$?
case "$rc" in
  1) expected="Java Runtime Environment not found." ;;
  7) expected="The main startup class could not be found." ;;
  *) echo "unexpected exit code $rc: $output"; exit 1 ;;
esac
# Linux shows the message on standard error; the Windows box cannot be read here.
if [[ "$*" != *wine* ]] && [[ "$output" != *"Error: $expected"* ]]; then
  echo "exit code $rc without the line 'Error: $expected': $output"
  exit 1
fi
echo "ok: exit code $rc"
