#!/usr/bin/env bash
# check_dll_layout.sh DLL OBJDUMP DEF: the DLL exports exactly the names of
# the .def file, undecorated, and carries the section .hvcShar of 8 bytes of
# initialised, readable, writable, unshared data (flags 0xC0000040).
set -uo pipefail
dll=$1
objdump=$2
def=$3
fail=0

expected=$(sed -n 's/^\s\+\([A-Za-z0-9_]\+\)\s*$/\1/p' "$def" | sort | tr '\n' ' ')
actual=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] \([A-Za-z0-9_@]*\)$/\1/p' | sort | tr '\n' ' ')
if [ -z "$expected" ] || [ "$actual" != "$expected" ]; then
  echo "FAIL exports differ"
  echo "  expected: $expected"
  echo "  actual:   $actual"
  fail=1
fi

# objdump -h: "Idx Name Size VMA LMA File-off Algn" then a line of flags.
line=$("$objdump" -h "$dll" | grep -A1 ' \.hvcShar ')
size=$(echo "$line" | awk 'NR==1 {print $3}')
flags=$(echo "$line" | sed -n 2p)
if [ "$size" != "00000008" ]; then
  echo "FAIL .hvcShar size '$size' (want 00000008)"
  fail=1
fi
case "$flags" in
  *READONLY*|*CODE*|*SHARED*|"") echo "FAIL .hvcShar flags: '$flags'"; fail=1;;
esac

# The raw characteristics word of the section header, read from the file.
chars=$(python3 - "$dll" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
table = pe + 24 + opt_size
for i in range(sections):
    h = table + 40 * i
    if data[h:h + 8] == b".hvcShar":
        vsize = struct.unpack_from("<I", data, h + 8)[0]
        print(f"{struct.unpack_from('<I', data, h + 36)[0]:#010x} {vsize}")
PY
)
if [ "$chars" != "0xc0000040 8" ]; then
  echo "FAIL .hvcShar header (characteristics, virtual size): '$chars'"
  fail=1
fi

[ $fail -eq 0 ] && echo "hvCommon exports its $(echo $expected | wc -w) names; .hvcShar is 8 bytes, flags $chars"
exit $fail
