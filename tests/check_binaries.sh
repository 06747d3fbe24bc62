#!/usr/bin/env bash
# check_binaries.sh BIN_DIR OBJDUMP: every program and DLL is self-contained
# (no mingw runtime DLL imported) and the settings store exports exactly its
# fourteen undecorated names.
set -uo pipefail
bin=$1
objdump=$2
fail=0
for f in "$bin"/*.exe "$bin"/*.dll; do
  [ -f "$f" ] || continue
  bad=$("$objdump" -p "$f" | grep -iE 'DLL Name: (libstdc\+\+|libgcc_s|libwinpthread)' || true)
  if [ -n "$bad" ]; then
    echo "FAIL $(basename "$f") imports a runtime DLL: $bad"
    fail=1
  fi
done

expected="GetPasswordHashA GetPasswordHashW ReadGroupDataA ReadGroupDataW ReadOptionDataA ReadOptionDataW ReadUserDataA ReadUserDataW WriteGroupDataA WriteGroupDataW WriteOptionDataA WriteOptionDataW WriteUserDataA WriteUserDataW"
# The export table lists "[ordinal] name" lines after "[Ordinal/Name Pointer] Table".
actual=$("$objdump" -p "$bin/cfwCommon.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] \([A-Za-z0-9_]*\)$/\1/p' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
  echo "FAIL cfwCommon.dll exports: '$actual'"
  fail=1
fi
[ $fail -eq 0 ] && echo "binaries self-contained; cfwCommon exports its 14 names"
exit $fail
