#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a given time each, from its committed seed corpus.
# New inputs go to BUILD/corpus/<target>, crashes to BUILD/crashes/; the committed corpus is
# only read. Usage: scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/crashes"
status=0
for target in $(cat "$build/fuzz_targets.txt" | tr ';' ' '); do
  mkdir -p "$build/corpus/$target"
  echo "== $target: $seconds s"
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$target-" \
    "$build/corpus/$target" "$root/fuzz/corpus/$target" 2>"$build/$target.fuzz.log" || status=1
  grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)|ERROR|SUMMARY" \
    "$build/$target.fuzz.log" || true
done
exit $status
