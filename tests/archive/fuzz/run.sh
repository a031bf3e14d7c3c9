#!/bin/bash
# Runs the archive's libFuzzer targets (built by tests/fuzz) for a fixed time each from
# seeds generated afresh. Usage: run.sh BUILD_FOLDER; FUZZ_SECONDS overrides 25 s a target.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=$1
seconds=${FUZZ_SECONDS:-25}
rm -rf "$build/seeds"
"$build/make_archive_seeds" "$build/seeds"

status=0
for target in zip_reader_fuzz payload_index_fuzz resource_names_fuzz; do
  # A hostile size field must not turn into an allocation: any single malloc above
  # 256 MB, or a process above 1 GB, counts as a crash.
  bash "$root/scripts/fuzz.sh" "$build/$target" "$build/seeds/$target" "$seconds" \
    -max_len=16384 -rss_limit_mb=1024 -malloc_limit_mb=256 || status=1
done
exit $status
