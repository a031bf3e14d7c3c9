#!/bin/bash
# Builds every target and runs every test: host, host with AddressSanitizer and UBSan,
# win64 under Wine, and win32's structure checks. Ends with the size of each stub.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/env.sh

jobs=$(nproc)
status=0
for preset in host host-asan win64 win32; do
  echo "== $preset"
  cmake --preset "$preset" -DTOVARIN_JDK_HOME="$JAVA_HOME" -DTOVARIN_TESTS=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if [ "$preset" = win64 ]; then
    # Create the Wine prefix once, before tests start in parallel.
    TOVARIN_WINEPREFIX="$PWD/build/win64/wineprefix" cmake/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  fi
  ctest --preset "$preset" -j "$jobs" || status=1
done

# ---- Fuzzing: the parsers' libFuzzer targets, a project of their own built with clang,
# each run for a fixed time from its seeds (scripts/fuzz.sh).
echo "== fuzz"
cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVARIN_JDK_HOME="$JAVA_HOME" >/dev/null
cmake --build build/fuzz -j "$jobs"
bash scripts/fuzz.sh build/fuzz/config_fuzz tests/config/fuzz/corpus 25 || status=1
bash tests/archive/fuzz/run.sh build/fuzz || status=1

echo "== stub sizes"
for stub in build/host/src/tovarin-stub build/win32/src/tovarin-stub.exe build/win64/src/tovarin-stub.exe; do
  printf '%-40s %8d bytes\n' "$stub" "$(stat -c %s "$stub")"
done
exit $status
