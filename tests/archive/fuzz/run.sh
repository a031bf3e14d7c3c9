#!/bin/bash
# Builds the archive's libFuzzer targets with clang and runs each for a fixed time from
# generated seeds. Usage: run.sh [build folder]; FUZZ_SECONDS overrides the 25 s per target.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-25}
jdk=${JAVA_HOME:-/usr/lib/jvm/java-17-openjdk-amd64}

cmake -S "$root/tests/archive/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTOVARIN_JDK_HOME="$jdk" >/dev/null
cmake --build "$build" -j 2
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
