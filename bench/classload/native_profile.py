#!/usr/bin/env python3
"""Where the launcher's natives spend the main Java thread's time, from `perf script -F
comm,tid,ip,sym` output of a `perf record --call-graph dwarf` run of the benchmark program.

usage: native_profile.py SCRIPT_OUTPUT SAMPLE_HZ COMM

DWARF unwinding stops at interpreted and compiled Java frames, so a native's figure holds
its own work and the VM calls it makes directly (JNI, array allocation), but not what the
VM does behind a Java call such as ClassLoader.defineClass; that shows up separately
under the VM's own frames.
"""
import collections
import re
import sys

# A native's entry symbol; the class native tail-calls its helper, so the helper stands in.
NATIVES = [
    ("TovarinClassLoader.defineClass", "DefineFromPayload"),
    ("TovarinClassLoader.findResource", "Java_com_mirathel_qvx_TovarinClassLoader_findResource"),
    ("TovarinClassLoader.findResources", "Java_com_mirathel_qvx_TovarinClassLoader_findResources"),
    ("Handler.loadResourceData", "Java_com_mirathel_qvx_Handler_loadResourceData"),
]

# The first category whose pattern matches a frame, walking from the leaf outwards.
CATEGORIES = [
    ("inflate", r"^inflate"),
    ("CRC-32", r"crc32"),
    ("zlib stream set-up and input buffer", r"inflateInit|inflateEnd|CZipReader::OpenEntry|CZipReader::AbandonEntry"),
    ("Java byte array: allocate (zeroed)", r"jni_NewByteArray"),
    ("Java byte array: copy in", r"jni_SetByteArrayRegion"),
    ("java.net.URL object", r"MakeResourceUrl"),
    ("page faults on fresh memory", r"exc_page_fault"),
    ("entry search over the nested jars", r"CPayloadArchive::(Lookup|FindEntry)|CompareNames"),
    ("name conversions (Java string, ANSI, UTF-8)",
     r"MakeNameForms|JavaStringUnits|UrlEntryNames|ClassEntryName|ResourceEntryName|PercentDecode|"
     r"MakeResourceNames|NormalizeDotSegments|ResolveParentSteps"),
    ("method and class look-ups", r"jni_GetMethodID|jni_GetObjectClass|jni_FindClass|GlobalClass"),
    ("malloc / free", r"malloc|free|realloc"),
    ("rest of the entry read", r"ReadWholeEntry|ReadEntryData|ZipReader"),
]

VM_STEPS = [
    ("VM: define a class (parse, create)", "jvm_define_class_common"),
    ("VM: verify bytecode", "Verifier::verify"),
    ("VM: boot loader look-ups (parent delegation)", "JVM_FindClassFromBootLoader"),
]


def load(path):
    samples = []
    for line in open(path, errors="replace"):
        if not line.strip():
            continue
        if not line.startswith("\t"):
            comm, tid = line.rstrip("\n").rsplit(None, 1)
            samples.append((comm.strip(), int(tid), []))
        else:
            parts = line.strip().split(" ", 1)
            samples[-1][2].append(parts[1] if len(parts) > 1 else "?")
    return samples


def category(stack):
    for frame in stack:
        for name, pattern in CATEGORIES:
            if re.search(pattern, frame):
                return name
    return "other"


def main():
    path, hz, comm = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    samples = load(path)
    # The main Java thread keeps the program's name and does nearly all of its work.
    threads = collections.Counter(tid for name, tid, _ in samples if name == comm)
    if not threads:
        sys.exit(f"no samples of {comm}")
    tid = threads.most_common(1)[0][0]
    main_thread = [stack for _, t, stack in samples if t == tid]

    def ms(count):
        return count / hz * 1000

    print(f"main Java thread: {ms(len(main_thread)):.0f} ms of CPU samples")
    opening = [s for s in main_thread if any("CPayloadArchive::EnsureOpen" in f for f in s)]
    opened = {id(s) for s in opening}
    print(f"  payload opened at the first native call (nested jars read and indexed): {ms(len(opening)):.1f} ms")
    for label, symbol in NATIVES:
        inside = [s for s in main_thread if id(s) not in opened and any(symbol in f for f in s)]
        if not inside:
            continue
        print(f"  {label}: {ms(len(inside)):.1f} ms")
        for name, count in collections.Counter(category(s) for s in inside).most_common():
            print(f"    {ms(count):7.1f} ms  {name}")
    for label, symbol in VM_STEPS:
        count = sum(1 for s in main_thread if any(symbol in f for f in s))
        print(f"  {label}: {ms(count):.1f} ms")


if __name__ == "__main__":
    main()
