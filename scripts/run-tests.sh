#!/usr/bin/env bash
# Runs a build folder's tests with CTest, their output into a log; prints the count that passed,
# or the output of each test that failed and the log's path.
# Usage: scripts/run-tests.sh BUILD_DIR JOBS LOG
set -uo pipefail
build=$1
jobs=$2
log=$3
mkdir -p "$(dirname "$log")"
echo "testing $build ($(ctest --test-dir "$build" -N | sed -n 's/^Total Tests: //p') tests)"
if ctest --test-dir "$build" --output-on-failure -j "$jobs" >"$log" 2>&1; then
  grep -E "tests passed" "$log"
  exit 0
fi
# A failed test's block runs from its result line to the next line CTest writes of its own.
awk '/\*\*\*|[0-9]+\/[0-9]+ Test +#[0-9]+: .* (Failed|Not Run)/ { show = 1 }
     /^ *Start +[0-9]+: |^ *[0-9]+\/[0-9]+ Test +#[0-9]+: .* Passed/ { show = 0 }
     /tests passed|The following tests/ { show = 1 }
     show' "$log" >&2
echo "the whole output: $log" >&2
exit 1
