#!/usr/bin/env python3
"""Sources of the class loading benchmark: 5,000 small classes and 5,000 text resources
spread over 20 jars of 5 packages each. The naming rule matches bench/Main.java.

usage: generate.py OUTDIR
Writes OUTDIR/src/<jar>/... (Java sources, one folder per jar) and OUTDIR/res/<jar>/...
(resource files), jar folders named lib00 to lib19.
"""
import os
import sys

JARS = 20
PER_JAR = 250
PACKAGES = 5
COUNT = JARS * PER_JAR

WORDS = ("alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima mike "
         "november oscar papa quebec romeo sierra tango uniform victor whiskey xray "
         "yankee zulu").split()


def jar_of(i):
    return i // PER_JAR


def package_of(i):
    return "bench.gen.j%02d.p%d" % (jar_of(i), i % PACKAGES)


def resource_name(i):
    return "bench/res/j%02d/p%d/r%04d.txt" % (jar_of(i), i % PACKAGES, i)


def resource_size(i):
    return 1024 + (i * 397) % 3073


def class_source(i):
    # A static initialiser that reports back makes Class.forName(..., true, ...) do real
    # work, and the constants keep every class file distinct.
    return f"""package {package_of(i)};

public final class C{i:04d} {{
    public static final long SEED;
    private final long value;

    static {{
        SEED = {i}L * 2654435761L + {i % 7};
        bench.Main.initialised++;
    }}

    public C{i:04d}(long value) {{
        this.value = value ^ SEED;
    }}

    public long mix(long x) {{
        return x * SEED + value + {i};
    }}

    @Override
    public String toString() {{
        return "C{i:04d}:" + value;
    }}
}}
"""


def resource_text(i):
    # Text that compresses like ordinary text, cut to the exact size Main expects.
    size = resource_size(i)
    state = i * 7919 + 1
    lines = []
    length = 0
    k = 0
    while length < size:
        words = []
        for _ in range(10):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            words.append(WORDS[state % len(WORDS)])
        line = "resource %d line %d: %s\n" % (i, k, " ".join(words))
        lines.append(line)
        length += len(line)
        k += 1
    return "".join(lines)[:size]


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: generate.py OUTDIR")
    out = sys.argv[1]
    for i in range(COUNT):
        jar = "lib%02d" % jar_of(i)
        write(os.path.join(out, "src", jar, *package_of(i).split("."), "C%04d.java" % i), class_source(i))
        write(os.path.join(out, "res", jar, *resource_name(i).split("/")), resource_text(i))


if __name__ == "__main__":
    main()
