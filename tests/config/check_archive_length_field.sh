#!/bin/bash
# The stub must hold the 18 bytes "TOVARIN-ARCHIVELEN" exactly once, right after 4 zero
# bytes: that is where the build step writes the archive length.
# usage: check_archive_length_field.sh STUB
set -u
stub=$1
offsets=$(grep -aobF 'TOVARIN-ARCHIVELEN' "$stub" | cut -d: -f1)
count=$(grep -c . <<<"$offsets")
if [ "$count" -ne 1 ]; then
  echo "FAIL: $count occurrences of the marker in $stub"
  exit 1
fi
before=$(od -An -tx1 -j $((offsets - 4)) -N4 "$stub" | tr -d ' \n')
if [ "$before" != 00000000 ]; then
  echo "FAIL: the 4 bytes before the marker are $before, not zero"
  exit 1
fi
echo "ok: one marker at offset $offsets after 4 zero bytes"
