#!/usr/bin/env bash
# Each module DLL exports exactly ovcInit, ovcExit, ModuleDate and GetModuleVersion: the names
# of its export table, read with objdump -p. Prints what differs for each DLL that is wrong.
#   tests/windows/exports.sh DLL...
set -euo pipefail

objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
expected=$(printf '%s\n' GetModuleVersion ModuleDate ovcExit ovcInit)
status=0
for dll in "$@"; do
  names=$("$objdump" -p "$dll" | awk '
    /\[Ordinal\/Name Pointer\] Table/ && !seen { table = 1; seen = 1; next }
    table && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF; next }
    table { table = 0 }' | LC_ALL=C sort)
  if [ "$names" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    echo "$(basename "$dll") exports:" $names "(expected:" $expected")"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "$# module DLLs export exactly the four entry points"
exit "$status"
