#!/bin/bash
# Builds the three stubs and runs the host stub, which exits with its launch result.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/env.sh
for preset in host win32 win64; do
  cmake --preset "$preset" -DTOVARIN_JDK_HOME="$JAVA_HOME" -DTOVARIN_TESTS=OFF >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target tovarin-stub
done
set +e
build/host/src/tovarin-stub "$@"
result=$?
echo "tovarin-stub exited with $result"
exit $result
