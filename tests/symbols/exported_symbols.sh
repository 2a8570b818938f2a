#!/usr/bin/env bash
# Checks that the stand-in library exports its public API and nothing else: every exported name
# of namespace sim is declared in a public header of sim/include/sim, every other name the
# library defines is part of the simulator interface in host/, and no instance of the C++
# library's templates escapes (a module or program would bind to the library's copy). Prints
# each name that escapes.
#   exported_symbols.sh LIBRARY SOURCE_DIR
set -euo pipefail

lib=$1
src=$2
public_headers=("$src"/sim/include/sim/*.h)
host_headers=("$src"/host/*.h)

names=$(nm -D --defined-only "$lib" | awk '{print $3}' | c++filt)
if [ -z "$names" ]; then
  echo "no exported symbols read from $lib"
  exit 1
fi

declared_in() {  # NAME HEADERS...
  local name=$1
  shift
  grep -qw -- "$name" "$@"
}

escaped=0
while IFS= read -r symbol; do
  # What the symbol is about, without "typeinfo for", "vtable for" and a leading return type.
  entity=${symbol#typeinfo name for }
  entity=${entity#typeinfo for }
  entity=${entity#vtable for }
  entity=${entity#guard variable for }
  case "$entity" in
    _init | _fini | _edata | _end) continue ;;
  esac
  # The C++ library's own, as a name or as a template function's return type.
  if [[ "$entity" =~ ^([A-Za-z_][A-Za-z0-9_]*\ )?(std|__gnu_cxx|__cxxabiv1)::|^__ ]]; then
    echo "exported from the C++ library: $symbol"
    escaped=1
    continue
  fi
  if [[ "$entity" =~ (^|[ *&])sim::([A-Za-z_][A-Za-z0-9_]*) ]]; then
    name=${BASH_REMATCH[2]}
    if ! declared_in "$name" "${public_headers[@]}"; then
      echo "exported but not public: $symbol"
      escaped=1
    fi
    continue
  fi
  if [[ "$entity" =~ ^([A-Za-z_][A-Za-z0-9_]*) ]]; then
    name=${BASH_REMATCH[1]}
    if [ "$name" != oapi ] && ! declared_in "$name" "${host_headers[@]}"; then
      echo "exported but not in the simulator interface: $symbol"
      escaped=1
    fi
  fi
done <<<"$names"

if [ "$escaped" -ne 0 ]; then
  exit 1
fi
echo "$(wc -l <<<"$names") exported symbols, all public"
