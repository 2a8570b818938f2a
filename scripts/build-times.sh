#!/usr/bin/env bash
# The slowest translation units of a build folder's last build, from ninja's log, and the sum of
# their compile times. Usage: scripts/build-times.sh [BUILD_DIR] [COUNT]
set -euo pipefail
build=${1:-build/asan}
count=${2:-10}
log=$build/.ninja_log
if [ ! -f "$log" ]; then
  echo "no ninja log in $build: build it first" >&2
  exit 1
fi
# A log line: start and end in ms since its build began, the output's mtime in ns, the output.
# Output mtime minus end time is the moment the build began, the same for every line of one
# build; the line of the newest output gives the last build's. Later lines replace earlier ones of
# the same output.
awk -F'\t' -v count="$count" -v build="$build" '
  /^#/ || $3 == 0 { next }
  { start[$4] = $1; end[$4] = $2; began[$4] = $3 / 1e6 - $2
    if ($3 > newest) { newest = $3; out = $4 } }
  END {
    print "slowest translation units of the last build in " build ":"; fflush()
    last = began[out]
    for (o in start) {
      if (o !~ /\.(o|gch)$/ || began[o] < last - 5000 || began[o] > last + 5000) continue
      ms = end[o] - start[o]; total += ms; units++
      if (first == "" || start[o] < first) first = start[o]
      if (end[o] > finish) finish = end[o]
      printf "%8.1f s  %s\n", ms / 1000, o | "sort -rn | head -n " count
    }
    close("sort -rn | head -n " count)
    if (units == 0) { print "no translation unit in the last build of " build; exit }
    printf "%d translation units, %.0f s of compiling in %.0f s from the first to the last\n",
      units, total / 1000, (finish - first) / 1000
  }' "$log"
