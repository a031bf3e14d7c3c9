#!/bin/bash
# Checks what a Windows stub must carry to work as the launcher: the GUI subsystem, the
# shared section the instance registry lives in, the JNI natives under their plain names,
# and no runtime DLLs of the toolchain (the stub must be one self-contained file).
# usage: check_stub_structure.sh OBJDUMP STUB.exe
set -u
objdump=$1 exe=$2
headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
sections=$("$objdump" -h "$exe")
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

check "GUI subsystem" 'grep -qE "^Subsystem\s+00000002" <<<"$headers"'
shm=$(grep -A1 -E '\s\.SHMMESS\s' <<<"$sections")
check ".SHMMESS section of 3072 bytes" 'grep -qE "\.SHMMESS\s+00000c00\s" <<<"$shm"'
check ".SHMMESS is shared and writable data" 'grep -q "DATA, SHARED" <<<"$shm"'
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers")
check "defineClass exported under its JNI name" \
  'grep -qE "\] Java_com_mirathel_qvx_TovarinClassLoader_defineClass$" <<<"$exports"'
check "no stdcall-decorated export names" '! grep -q "@" <<<"$exports"'
dlls=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}')
check "no toolchain runtime DLLs imported" '! grep -qE "libstdc|libgcc|winpthread|zlib" <<<"$dlls"'
exit $fail
