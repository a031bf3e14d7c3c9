#!/bin/bash
# Builds the jars the class-loading end-to-end tests put in their programs' payloads:
#   app.jar       bridge.Probe, nested.alpha.Twice, nested.Café, resources, a manifest
#   a.jar         nested.alpha.Twice (a second copy), libonly.Lib, shared.txt, inner.jar
#   inner.jar     deep.Deep (inside a.jar: a second-level jar)
#   many<k>.jar   2,000 generated classes and resources in four jars, for the threads test
# usage: make_jars.sh JAVAC JAR OUTDIR
set -euo pipefail
javac=$1 jar=$2 out=$3
src=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out" && mkdir -p "$out"/{app,a,inner,many}

"$javac" -encoding UTF-8 -d "$out/app" "$src"/app/bridge/*.java "$src"/app/nested/alpha/*.java "$src"/app/nested/*.java
cp "$src"/app/res/* "$out/app/"
: > "$out/app/nested/Empty.class"   # a class entry of length 0
"$jar" --create --file "$out/app.jar" --manifest "$src/app/MANIFEST.MF" -C "$out/app" .

"$javac" -encoding UTF-8 -d "$out/inner" "$src"/inner/deep/*.java
printf 'deep data\n' > "$out/inner/deep.txt"
"$jar" --create --file "$out/inner.jar" --no-manifest -C "$out/inner" .

"$javac" -encoding UTF-8 -d "$out/a" "$src"/a/nested/alpha/*.java "$src"/a/libonly/*.java
printf 'from a.jar\n' > "$out/a/shared.txt"
cp "$out/inner.jar" "$out/a/"
"$jar" --create --file "$out/a.jar" --no-manifest -C "$out/a" .

# Many small classes: many.p<k>.C<i> returns i; resource many/r<i>.txt holds "r<i>".
gen="$out/many-src"
for k in 0 1 2 3; do
  mkdir -p "$gen/$k/many/p$k" "$out/many/$k/many"
  for ((i = k * 500; i < (k + 1) * 500; i++)); do
    printf 'package many.p%d; public class C%d { public static int id() { return %d; } }\n' "$k" "$i" "$i" \
      > "$gen/$k/many/p$k/C$i.java"
    printf 'r%d\n' "$i" > "$out/many/$k/many/r$i.txt"
  done
done
"$javac" -d "$out/many/classes" $(find "$gen" -name '*.java')
for k in 0 1 2 3; do
  cp -r "$out/many/classes/many/p$k" "$out/many/$k/many/"
  "$jar" --create --file "$out/many$k.jar" --no-manifest -C "$out/many/$k" .
done
