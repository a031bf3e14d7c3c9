#!/usr/bin/env python3
"""Packs a program with the real tovarin-pack and reads its payload with Python's zipfile,
a ZIP reader written independently of ours: prefix, offsets, CRCs, methods and comment
must all satisfy it, and the stored nested jar must open as an archive of its own.
Usage: pack_zipfile_check.py TOVARIN-PACK SCRATCH-FOLDER"""
import io
import os
import shutil
import struct
import subprocess
import sys
import zipfile

tool, scratch = sys.argv[1], sys.argv[2]
shutil.rmtree(scratch, ignore_errors=True)
os.makedirs(os.path.join(scratch, "classes", "com", "mirathel", "qvx"))


def path(*parts):
    return os.path.join(scratch, *parts)


def write(name, data):
    with open(path(name), "wb") as f:
        f.write(data)


stub = b"\x7fELF fake" + b"\0" * 4 + b"TOVARIN-ARCHIVELEN" + b" rest of the stub"
write("stub", stub)
write("app.cfg", b"mainclass app.Main\nclasspath lib/*.jar\n")
jar = io.BytesIO()
with zipfile.ZipFile(jar, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n")
    z.writestr("app/Main.class", b"\xca\xfe\xba\xbe" + b"x" * 200)
write("app.jar", jar.getvalue())
write("notes.txt", b"n" * 1000)
write(os.path.join("classes", "com", "mirathel", "qvx", "TovarinClassLoader.class"), b"\xca\xfe\xba\xbe loader")

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what)


for deflate_jars in (False, True):
    out = path("program")
    args = [tool, "--stub", path("stub"), "--output", out, "--config", path("app.cfg"),
            "--add", "lib/app.jar=" + path("app.jar"), "--add", "notes.txt=" + path("notes.txt"),
            "--support-classes", path("classes"), "--comment", "trailing"]
    if deflate_jars:
        args.append("--deflate-jars")
    run = subprocess.run(args, capture_output=True)
    label = "with --deflate-jars" if deflate_jars else "default"
    check(run.returncode == 0, label + ": exit code %d, %r" % (run.returncode, run.stderr))
    if run.returncode:
        continue
    data = open(out, "rb").read()
    archive_length = struct.unpack_from("<I", data, stub.index(b"TOVARIN-ARCHIVELEN") - 4)[0]
    block_length = struct.unpack_from("<I", data, data.index(b"\0", len(stub) + 3) + 1)[0]
    expected_block = b"\xef\xbb\xbfmainclass app.Main\r\nclasspath lib/*.jar\r\n\0"
    check(data[len(stub):len(stub) + block_length] == expected_block, label + ": configuration block")
    check(len(data) == len(stub) + block_length + 4 + 16 + archive_length + len(b"trailing"), label + ": sizes add up")
    with zipfile.ZipFile(out) as z:
        check(z.testzip() is None, label + ": CRCs")
        names = sorted(z.namelist())
        check(names == ["com/mirathel/qvx/TovarinClassLoader.class", "lib/app.jar", "notes.txt"],
              label + ": names %r" % names)
        info = z.getinfo("lib/app.jar")
        want = zipfile.ZIP_DEFLATED if deflate_jars else zipfile.ZIP_STORED
        check(info.compress_type == want, label + ": jar method %d" % info.compress_type)
        check(z.getinfo("notes.txt").compress_type == zipfile.ZIP_DEFLATED, label + ": notes deflated")
        check(z.comment == b"trailing", label + ": comment %r" % z.comment)
        check(z.read("notes.txt") == b"n" * 1000, label + ": notes content")
        with zipfile.ZipFile(io.BytesIO(z.read("lib/app.jar"))) as nested:
            check(nested.read("app/Main.class").startswith(b"\xca\xfe\xba\xbe"), label + ": nested jar readable")
        # Stored means the jar's bytes sit in the program as they are.
        if not deflate_jars:
            check(jar.getvalue() in data, label + ": stored jar found verbatim")

print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
if not failures:
    shutil.rmtree(scratch, ignore_errors=True)
sys.exit(1 if failures else 0)
