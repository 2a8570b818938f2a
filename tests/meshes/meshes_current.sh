#!/usr/bin/env bash
# The committed meshes are what scripts/make-meshes.mjs writes now: a change to the script
# without its meshes (or a mesh edited by hand) fails here.
# Usage: meshes_current.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
node "$source_dir/scripts/make-meshes.mjs" "$out"
diff -r "$out" "$source_dir/meshes"
