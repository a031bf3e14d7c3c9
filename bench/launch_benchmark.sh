#!/bin/bash
# Start-up time of a finished hello-world program against `java -cp hello.jar` on the
# same JDK, measured in the same hyperfine run (alternating commands), and the ratio of
# the medians. Uses the host build: run scripts/test.sh or build the host preset first.
# usage: bench/launch_benchmark.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
runs=${1:-30}
build=build/host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/classes"
"$JAVA_HOME/bin/javac" -d "$work/classes" tests/e2e/probe/probe/Hello.java
"$JAVA_HOME/bin/jar" --create --file "$work/hello.jar" -C "$work/classes" .
printf 'mainclass probe.Hello\njvmdll %s/lib/server/libjvm.so\n' "$JAVA_HOME" > "$work/hello.cfg.txt"
"$build/tools/tovarin-pack" --stub "$build/src/tovarin-stub" --output "$work/hello" --config "$work/hello.cfg.txt" \
  --add-dir "$work/classes" --support-classes "$build/java/classes" >/dev/null

"$work/hello" | grep -qx Hello
"$JAVA_HOME/bin/java" -cp "$work/hello.jar" probe.Hello | grep -qx Hello

hyperfine --style basic --warmup 5 --runs "$runs" --export-json "$work/result.json" \
  --command-name tovarin "$work/hello" \
  --command-name java "$JAVA_HOME/bin/java -cp $work/hello.jar probe.Hello"

python3 - "$work/result.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
t, j = results["tovarin"]["median"], results["java"]["median"]
print(f"median tovarin {t*1000:.1f} ms, java {j*1000:.1f} ms, ratio {t/j:.3f}")
PY
