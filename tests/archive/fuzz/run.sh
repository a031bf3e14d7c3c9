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
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  # A hostile size field must not turn into an allocation: any single malloc above
  # 256 MB, or a process above 1 GB, counts as a crash.
  if "$build/$target" -max_total_time="$seconds" -timeout=20 -max_len=16384 \
       -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$build/" \
       "$corpus" "$build/seeds/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target ok, ${runs:-?} inputs in ${seconds} s"
  else
    echo "fuzz: $target FAILED (log: $log)"
    tail -n 60 "$log"
    status=1
  fi
done
exit $status
