#!/usr/bin/env bash
# One step of the set-up, quietly: prints its line, sends the command's output to a log, and on
# failure prints the log's last lines and its path. Run it, or source it for the function `step`.
# Usage: scripts/step.sh "building build/asan" build/logs/build-asan.log COMMAND [ARGS...]
step() {
  local line=$1 log=$2 status=0
  shift 2
  mkdir -p "$(dirname "$log")"
  echo "$line"
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "failed: $line (exit status $status); the last lines of $log:" >&2
    tail -n "${STEP_LOG_LINES:-40}" "$log" >&2
    echo "the whole output: $log" >&2
  fi
  return "$status"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  step "$@"
fi
