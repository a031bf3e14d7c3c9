#!/bin/bash
# Builds the three stubs and the build tool, makes the sample application of several
# jars (samples/demo: an app jar with a resource and a manifest, a library jar in a
# folder) into a finished program for each stub, and runs the Linux one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/env.sh
for preset in host win32 win64; do
  cmake --preset "$preset" -DTOVARIN_JDK_HOME="$JAVA_HOME" -DTOVARIN_TESTS=OFF >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" --target tovarin-stub tovarin-support
done
cmake --build --preset host -j "$(nproc)" --target tovarin-pack

out=build/demo
rm -rf "$out" && mkdir -p "$out/app" "$out/lib"
"$JAVA_HOME/bin/javac" --release 8 -Xlint:-options -d "$out/lib" samples/demo/lib/demo/lib/*.java
"$JAVA_HOME/bin/javac" --release 8 -Xlint:-options -cp "$out/lib" -d "$out/app" samples/demo/app/demo/*.java
cp samples/demo/app/demo/greeting.txt "$out/app/demo/"
"$JAVA_HOME/bin/jar" --create --file "$out/app.jar" --manifest samples/demo/app/MANIFEST.MF -C "$out/app" .
"$JAVA_HOME/bin/jar" --create --file "$out/banner.jar" -C "$out/lib" .

for stub in build/host/src/tovarin-stub build/win32/src/tovarin-stub.exe build/win64/src/tovarin-stub.exe; do
  case "$stub" in
    *win32*) program="$out/demo-win32.exe" ;;
    *win64*) program="$out/demo-win64.exe" ;;
    *) program="$out/demo" ;;
  esac
  build/host/tools/tovarin-pack --stub "$stub" --output "$program" --config samples/demo/demo.cfg \
    --add app.jar="$out/app.jar" --add libs/banner.jar="$out/banner.jar" \
    --support-classes build/host/java/classes >/dev/null
  printf 'made %-28s %8d bytes\n' "$program" "$(stat -c %s "$program")"
done

echo "== running $out/demo"
set +e
"$out/demo" "$@"
result=$?
echo "== $out/demo exited with $result"
exit $result
