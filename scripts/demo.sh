#!/usr/bin/env bash
# The project's main jobs: a lander rides its carrier down to Mars and lands itself; a rocket
# leaves the launch pad, which swings its arms away and runs its plumes.
# First what the lander declares and what a few keys do to it, then the landing run, whose
# telemetry, final state, plot and the landed lander's HUD go under out/.
set -euo pipefail
build=${1:-build/release}
cd "$(dirname "$0")/.."
mkdir -p out
vesselsim="$build/bin/vesselsim"

echo "== the lander as its module declares it, and a few keys pressed on it"
"$vesselsim" describe quor_tevlan --key Ctrl+G --key Ctrl+J --key P --key C

echo
echo "== the Mars landing: carrier and lander from 10 km; on the ground the lander puts out its"
echo "   antenna, sampling arm and weather mast"
"$vesselsim" run scenarios/mars_descent.scn \
    --key 115:Tevlan:Ctrl+J --key 115:Tevlan:Ctrl+U --key 115:Tevlan:Ctrl+K \
    --telemetry out/mars_descent.csv --save out/mars_descent_end.scn --plot out/mars_descent.png \
    --hud out/hud.png --replay out/mars_descent.html

echo
echo "== a night launch from the b_tvm58 pad"
"$vesselsim" run scenarios/pad_launch.scn --until 60 \
    --save out/pad_launch_end.scn --plot out/pad_launch.png --replay out/pad_launch.html
echo
echo "written: out/mars_descent.csv out/mars_descent_end.scn out/mars_descent.png out/hud.png" \
    "out/mars_descent.log"
echo "         out/pad_launch_end.scn out/pad_launch.png out/pad_launch_end.log"
echo "replays (open in a browser): out/mars_descent.html out/pad_launch.html"
