#!/bin/bash
# Class and resource loading through a finished program against `java -cp` on the same
# JDK: 5,000 generated classes and 5,000 text resources (1-4 KB) in 20 jars, nested in
# the payload (stored) for the finished program, on disk for java. The main class sits in
# its own app.jar, nested as libs/app.jar beside the 20 jars. The ways alternate, ROUNDS
# runs each (the order flips every round), after one untimed run of each, and medians are
# reported: elapsed and CPU time, since the machine may be shared. A run that loads
# nothing gives the fixed cost, also for a program holding app.jar alone, which separates
# the cost of the 20 nested jars from the rest of the launch.
#   --split    every round also runs the step-by-step timings of bench/Main.java
#   --profile  afterwards, one finished-program run under `perf record` (DWARF call
#              graphs): where the launcher's natives spend the main thread's time
# Uses the host build (tovarin-stub, tovarin-pack, tovarin-support targets).
# usage: bench/class_loading_benchmark.sh [ROUNDS] [--split] [--profile]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
usage="usage: $0 [ROUNDS] [--split] [--profile]"
rounds=5
split=0
profile=0
for arg in "$@"; do
  case "$arg" in
    --split) split=1 ;;
    --profile) profile=1 ;;
    *[!0-9]* | '' | 0) echo "$usage" >&2; exit 2 ;;
    *) rounds=$arg ;;
  esac
done
if [ "$profile" = 1 ] && ! perf record -q -e cpu-clock -o /dev/null true >/dev/null 2>&1; then
  echo "--profile needs a working perf (perf record -e cpu-clock)" >&2
  exit 2
fi
build=build/host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 bench/classload/generate.py "$work"
mkdir -p "$work/app" "$work/classes" "$work/jars"
"$JAVA_HOME/bin/javac" -d "$work/app" bench/classload/bench/Main.java
find "$work/src" -name '*.java' > "$work/sources.txt"
"$JAVA_HOME/bin/javac" -J-XX:TieredStopAtLevel=1 -cp "$work/app" -d "$work/classes" "@$work/sources.txt"
"$JAVA_HOME/bin/jar" --create --file "$work/jars/app.jar" -C "$work/app" .
classpath=$work/jars/app.jar
add=(--add "libs/app.jar=$work/jars/app.jar")
for j in $(seq -f %02g 0 19); do
  "$JAVA_HOME/bin/jar" --create --file "$work/jars/lib$j.jar" -C "$work/classes" "bench/gen/j$j" -C "$work/res/lib$j" .
  classpath+=:$work/jars/lib$j.jar
  add+=(--add "libs/lib$j.jar=$work/jars/lib$j.jar")
done

printf 'mainclass bench.Main\njvmdll %s/lib/server/libjvm.so\n' "$JAVA_HOME" > "$work/program.cfg.txt"
pack() {
  "$build/tools/tovarin-pack" --stub "$build/src/tovarin-stub" --config "$work/program.cfg.txt" \
    --support-classes "$build/java/classes" "$@" >/dev/null
}
pack --output "$work/program" "${add[@]}"
pack --output "$work/app-only" --add "libs/app.jar=$work/jars/app.jar"

python3 - "$rounds" "$split" "$work/program" "$work/app-only" "$JAVA_HOME/bin/java" "$classpath" <<'PY'
import resource, statistics, subprocess, sys, time

rounds, split = int(sys.argv[1]), sys.argv[2] == "1"
ways = {
    "tovarin": [sys.argv[3]],
    "java": [sys.argv[5], "-cp", sys.argv[6], "bench.Main"],
    "tovarin-app-only": [sys.argv[4]],
}
expected = {
    "tovarin": ("com.mirathel.qvx.TovarinClassLoader", "qvx:"),
    "java": ("jdk.internal.loader.ClassLoaders$AppClassLoader", "jar:file:"),
}

def children_cpu_ns():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return int((usage.ru_utime + usage.ru_stime) * 1e9)

def run(way, mode):
    cpu = children_cpu_ns()
    start = time.perf_counter_ns()
    done = subprocess.run(ways[way] + [mode], capture_output=True, text=True)
    wall = time.perf_counter_ns() - start
    cpu = children_cpu_ns() - cpu
    if done.returncode != 0:
        sys.exit(f"{way} {mode} failed ({done.returncode}):\n{done.stdout}{done.stderr}")
    values = dict(line.split(" ", 1) for line in done.stdout.splitlines() if " " in line)
    if mode != "none":
        loader, url = expected[way]
        if values.get("class_loader") != loader or not values.get("sample_url", "").startswith(url):
            sys.exit(f"{way} did not load through {loader} / {url} URLs:\n{done.stdout}")
    values = {k: int(v) for k, v in values.items() if k.endswith("_ns")}
    values["wall_ns"] = wall
    values["cpu_ns"] = cpu
    return values

modes = ["all", "none"] + (["split"] if split else [])
def ways_of(mode):
    return list(ways) if mode == "none" else ["tovarin", "java"]
for mode in modes:   # untimed: page cache, CDS archive, first-run effects
    for way in ways_of(mode):
        run(way, mode)
results = {(way, mode): [] for mode in modes for way in ways_of(mode)}
for r in range(rounds):
    for mode in modes:
        order = ways_of(mode) if r % 2 == 0 else ways_of(mode)[::-1]
        for way in order:
            results[way, mode].append(run(way, mode))

def median(way, mode, key):
    return statistics.median(v[key] for v in results[way, mode]) / 1e6

rows = [("class loading (Class.forName x5000)", "all", "classes"),
        ("resource reading (getResourceAsStream x5000)", "all", "resources")]
if split:
    rows += [("  loadClass (find + define)", "split", "define"),
             ("  initialise the loaded classes", "split", "init"),
             ("  getResource (URL lookup)", "split", "lookup"),
             ("  URL.openStream", "split", "open"),
             ("  readAllBytes + close", "split", "read")]
table = []
for label, mode, key in rows:
    table += [(label + ", wall", mode, key + "_ns"), ("    main thread CPU", mode, key + "_cpu_ns")]
table += [("whole process wall, loading both", "all", "wall_ns"),
          ("    process CPU (user+sys, all threads)", "all", "cpu_ns"),
          ("whole process wall, loading nothing", "none", "wall_ns"),
          ("    process CPU (user+sys, all threads)", "none", "cpu_ns")]
print(f"medians of {rounds} rounds, milliseconds")
print(f"{'':52} {'tovarin':>9} {'java':>9} {'tovarin/java':>12}")
for label, mode, key in table:
    t, j = median("tovarin", mode, key), median("java", mode, key)
    print(f"{label:52} {t:9.1f} {j:9.1f} {t / j:12.3f}")
for label, key in (("loading nothing, program with app.jar alone, wall", "wall_ns"),
                   ("    process CPU (user+sys, all threads)", "cpu_ns")):
    t, j = median("tovarin-app-only", "none", key), median("java", "none", key)
    print(f"{label:52} {t:9.1f} {j:9.1f} {t / j:12.3f}")
for (way, mode), values in results.items():
    for key in values[0]:
        print(f"runs {way} {mode} {key}: " + " ".join(f"{v[key] / 1e6:.1f}" for v in values))
PY

if [ "$profile" = 1 ]; then
  # DWARF call graphs reach through the stub's own frames, which keep no frame pointer.
  hz=1000
  perf record -q -F "$hz" -e cpu-clock --call-graph dwarf,65528 -o "$work/perf.data" "$work/program" all >/dev/null
  perf script -i "$work/perf.data" -F comm,tid,ip,sym 2>/dev/null > "$work/perf.txt"
  rm -f "$work/perf.data"
  echo "profile of one finished-program run (all), main Java thread:"
  python3 bench/classload/native_profile.py "$work/perf.txt" "$hz" program
fi
