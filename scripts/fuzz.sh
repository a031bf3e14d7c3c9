#!/bin/bash
# Runs one libFuzzer binary for a fixed time from a seed corpus. The seeds stay as
# committed: new inputs go to a scratch corpus, crash inputs to build/fuzz/artifacts/.
# Fails when the fuzzer finds a crash, a leak or a sanitizer report.
# usage: scripts/fuzz.sh <fuzzer-binary> <corpus-dir> <seconds> [libFuzzer flags...]
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 <fuzzer-binary> <corpus-dir> <seconds> [libFuzzer flags...]" >&2
  exit 2
fi
fuzzer=$1 seeds=$2 seconds=$3
shift 3
name=$(basename "$fuzzer")
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$root/build/fuzz/artifacts/$name/"
work=$(mktemp -d "${TMPDIR:-/tmp}/tovarin-fuzz-$name.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"

log="$work/log"
if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$artifacts" "$@" "$work" "$seeds" >"$log" 2>&1; then
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo "?")
  echo "fuzz $name: ${seconds} s, $runs runs, no findings"
else
  status=$?
  tail -n 60 "$log"
  echo "fuzz $name: FAILED (exit $status); inputs in $artifacts"
  exit 1
fi
