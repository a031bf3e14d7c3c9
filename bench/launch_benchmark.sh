#!/bin/bash
# Start-up time of a finished hello-world program against `java -cp hello.jar` on the
# same JDK, measured in the same hyperfine run (alternating commands), and the ratio of
# the medians. Uses the host build: run scripts/test.sh or build the host preset first.
#
# Two more commands separate what the launcher costs from what the JDK charges for the
# system class loader the launcher installs: on JDK 12 and later the property
# "java.system.class.loader" turns off the archived module graph of the default CDS
# archive, so `java` is also timed with that property naming the same loader class, and the
# program is also timed with "assystemclassloader false".
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
printf 'assystemclassloader false\n' >> "$work/hello.cfg.txt"
"$build/tools/tovarin-pack" --stub "$build/src/tovarin-stub" --output "$work/hello-own-loader" \
  --config "$work/hello.cfg.txt" --add-dir "$work/classes" --support-classes "$build/java/classes" >/dev/null
loader=com.mirathel.qvx.TovarinClassLoader

"$work/hello" | grep -qx Hello
"$JAVA_HOME/bin/java" -cp "$work/hello.jar" probe.Hello | grep -qx Hello

hyperfine --style basic --warmup 5 --runs "$runs" --export-json "$work/result.json" \
  --command-name tovarin "$work/hello" \
  --command-name java "$JAVA_HOME/bin/java -cp $work/hello.jar probe.Hello" \
  --command-name "java, system loader property" \
  "$JAVA_HOME/bin/java -Djava.system.class.loader=$loader -cp $work/hello.jar:$build/java/classes probe.Hello" \
  --command-name "tovarin, assystemclassloader false" "$work/hello-own-loader"

python3 - "$work/result.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
def ratio(a, b):
    x, y = results[a]["median"], results[b]["median"]
    print(f"median {a} {x*1000:.1f} ms, {b} {y*1000:.1f} ms, ratio {x/y:.3f}")
ratio("tovarin", "java")
ratio("tovarin", "java, system loader property")
ratio("tovarin, assystemclassloader false", "java")
PY
