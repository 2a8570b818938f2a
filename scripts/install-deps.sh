#!/usr/bin/env bash
# Installs with apt the Debian packages a make command needs, only those that are missing, as root
# or through sudo. apt's output goes to build/logs/apt.log; on failure its last lines are shown.
# Usage: scripts/install-deps.sh [demo|test|fuzz|windows|all]   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."

# What configuring the program and the tests needs (every build but the fuzz build configures
# both), then what each command adds.
common=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  libcli11-dev liberfa-dev
  libplplot-dev plplot-driver-cairo
  libcairo2-dev fonts-dejavu-core
)
# Node 20 and npm, which build the replay viewer, come with the machine's image.
demo=(libbenchmark-dev parallel)   # the benchmarks, and GNU parallel of docs/montecarlo.md
test=(binutils clang-format jq chromium)  # nm for the exported-symbols test, the format check, jq for the JSON summary, the replay page's browser tests
test+=(parallel slurm-wlm munge)   # the cluster recipes of docs/montecarlo.md, run by the tests
fuzz=(clang libclang-rt-dev)       # libFuzzer
# The Windows build (mingw-w64, its objdump for the export tables) and Wine to run it.
windows=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64)

case ${1:-all} in
  demo) packages=("${common[@]}" "${demo[@]}") ;;
  test) packages=("${common[@]}" "${test[@]}") ;;
  fuzz) packages=("${common[@]}" "${fuzz[@]}") ;;
  windows) packages=("${common[@]}" "${windows[@]}") ;;
  all) packages=("${common[@]}" "${demo[@]}" "${test[@]}" "${fuzz[@]}" "${windows[@]}") ;;
  *) echo "usage: $0 [demo|test|fuzz|windows|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
if [ "$(id -u)" -ne 0 ]; then apt=(sudo "${apt[@]}"); fi
install() {
  "${apt[@]}" update -q && "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
}
source scripts/step.sh
step "installing: ${missing[*]}" build/logs/apt.log install
