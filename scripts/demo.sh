#!/usr/bin/env bash
# The project's main job: a lander rides its carrier down to Mars and lands itself.
set -euo pipefail
build=${1:-build/release}
cd "$(dirname "$0")/.."
mkdir -p out
"$build/bin/vesselsim" describe quor_tevlan --modules "$build/modules"
