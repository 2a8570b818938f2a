#!/usr/bin/env bash
# The Windows build under Wine, beside the Linux build (make test-windows):
#  1. each module DLL's export table holds exactly the four entry points;
#  2. the module frame's and the graphics-client probe's checks (tests/windows/*_check.cpp);
#  3. both programs fly scenarios/mars_descent.scn and scenarios/pad_launch.scn: the same lines
#     on standard output (events, touchdowns, the summary) but for the wall time, the same
#     telemetry, the same log but for the form of the modules' paths, and saved scenarios and
#     JSON summaries alike to the last digits of their full-precision numbers (the two systems'
#     mathematics libraries round sines and cosines differently in the last bit);
#  4. both refuse each scenario of tests/windows/bad_scenarios.txt, and a few bad files, with
#     the same message and exit status.
# The Wine prefix lies in the Windows build folder, so that nothing is shared with another.
#   tests/windows/run.sh WINDOWS_BUILD LINUX_BUILD LOG
set -euo pipefail
cd "$(dirname "$0")/../.."
here=tests/windows
win_build=$(realpath "$1")
linux_build=$(realpath "$2")
log=$3
mkdir -p "$(dirname "$log")"
exec > >(tee "$log") 2>&1

wine=$(command -v wine64 || true)
if [ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64; fi
if [ -z "$wine" ]; then
  echo "no wine64: scripts/install-deps.sh windows installs it"
  exit 1
fi
export WINEPREFIX=$win_build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A path of this machine as Wine shows it to a Windows program: drive Z: is the root.
winpath() {
  local p
  p=$(realpath -m "$1")
  echo "Z:${p//\//\\}"
}
export WINEPATH
WINEPATH=$(winpath "$win_build/bin")
linux=$linux_build/bin/vesselsim
windows() { "$wine" "$win_build/bin/vesselsim.exe" "$@"; }
modules=$win_build/lib/vesselsim/modules

failures=0
pass() { echo "ok: $*"; }
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
check() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

work=$win_build/test-windows
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows" "$work/bad"

start=$(date +%s)
"$wine" wineboot -i >/dev/null 2>&1 || true
echo "Wine prefix $WINEPREFIX ready in $(($(date +%s) - start)) s"

# 1. Export tables; the check itself catches a DLL with an export too many.
check "module DLLs export exactly the four entry points" "$here/exports.sh" "$modules"/*.dll
check "the export check refuses a DLL with an exit routine among its exports" \
  bash -c "! '$here/exports.sh' '$win_build/tests/exit_routine_probe.dll' >/dev/null"

# 2. The module frame and the probe, as Windows programs.
check "module frame under Wine" "$wine" "$win_build/tests/module_frame_check.exe" \
  "$(winpath "$modules")" "$(winpath "$win_build/tests")"
check "graphics-client probe under Wine" "$wine" "$win_build/tests/probe_check.exe" \
  "$(winpath "$modules")" "$(winpath "$win_build/tests/D3D9Client.dll")"

# 3. The two flights.
without_cr() { tr -d '\r' <"$1"; }
without_wall_time() { grep -v ' s of wall time ' || true; }
# A module's path as the module's name: the two builds keep their modules in different places.
module_names() { sed -E 's#("module": "|module attached: ).*[/\\]([a-z0-9_]+)\.(so|dll)#\1\2#'; }
same() {  # DESCRIPTION FILE_A FILE_B
  if cmp -s "$2" "$3"; then pass "$1"; else
    fail "$1"
    diff "$2" "$3" | head -20
  fi
}
for scenario in mars_descent pad_launch; do
  for side in linux windows; do
    out=$work/$side/$scenario
    if [ $side = linux ]; then
      run=("$linux" run "scenarios/$scenario.scn" --save "$out.scn" --telemetry "$out.csv"
        --summary "$out.json")
    else
      run=(windows run "scenarios/$scenario.scn" --save "$(winpath "$out.scn")"
        --telemetry "$(winpath "$out.csv")" --summary "$(winpath "$out.json")")
    fi
    start=$(date +%s.%N)
    status=0
    "${run[@]}" >"$out.out.raw" 2>"$out.err.raw" || status=$?
    seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
    echo "$side: $scenario flown in $seconds s, exit status $status"
    echo "$status" >"$out.status"
    without_cr "$out.out.raw" | without_wall_time >"$out.out"
    without_cr "$out.err.raw" >"$out.err"
    module_names <"$out.log" >"$out.log.names"
    module_names <"$out.json" >"$out.json.names"
  done
  l=$work/linux/$scenario w=$work/windows/$scenario
  same "$scenario: exit status" "$l.status" "$w.status"
  same "$scenario: standard output (events, touchdowns, summary)" "$l.out" "$w.out"
  same "$scenario: standard error" "$l.err" "$w.err"
  same "$scenario: telemetry" "$l.csv" "$w.csv"
  same "$scenario: log" "$l.log.names" "$w.log.names"
  for saved in scn json.names; do
    if report=$(awk -v tolerance=1e-8 -f "$here/close_figures.awk" "$l.$saved" "$w.$saved"); then
      pass "$scenario: saved .${saved%.names} alike ($(tail -1 <<<"$report"))"
    else
      fail "$scenario: saved .${saved%.names} differs"
      echo "$report" | head -20
    fi
  done
  grep -h 'touchdown:\|lifted off\|launch detected' "$l.out" | sed 's/^/  linux:   /'
  grep -h 'touchdown:\|lifted off\|launch detected' "$w.out" | sed 's/^/  windows: /'
done

# A module that crashes in its step is named, as on Linux, with exit status 3.
printf '%s\n' "BEGIN_SHIPS" "C:crasher_step" "  STATUS Orbiting Mars" "  GROUND_POS 0 0 1000" \
  "  HORIZON_ATT 90 0 0" "END" "END_SHIPS" >"$work/crash.scn"
status=0
windows run "$(winpath "$work/crash.scn")" --dt 0.1 --until 5 \
  --modules "$(winpath "$win_build/tests")" >/dev/null 2>"$work/crash.err" || status=$?
expected="vesselsim: module crasher_step ($(winpath "$win_build/tests/crasher_step.dll")): vessel C:"
expected+=" clbkPostStep crashed at t = 0.500 s: EXCEPTION_ACCESS_VIOLATION (invalid memory access)"
if [ "$status" -eq 3 ] && [ "$(tr -d '\r' <"$work/crash.err")" = "$expected" ]; then
  pass "a module that crashes is named: $(cat "$work/crash.err")"
else
  fail "a module that crashes is named (exit status $status)"
  echo "  expected: $expected"
  echo "  got:      $(cat "$work/crash.err")"
fi

# 4. Bad scenarios: the same refusal from both.
refusal() {  # SIDE SCENARIO [OPTIONS...]: exit status and standard error, paths as names
  local side=$1 scn=$2 status=0
  shift 2
  if [ "$side" = linux ]; then
    "$linux" run "$scn" --until 1 "$@" >/dev/null 2>"$work/bad/err" || status=$?
  else
    windows run "$scn" --until 1 "$@" >/dev/null 2>"$work/bad/err" || status=$?
  fi
  echo "exit status $status"
  tr -d '\r' <"$work/bad/err" |
    sed -E "s#no module ([a-z_]+)\.(so|dll) in the module folder .*#no module \1 in the module folder#"
}
refused_alike() {  # NAME SCENARIO [OPTIONS...]
  local name=$1 l w
  shift
  l=$(refusal linux "$@")
  w=$(refusal windows "$@")
  if [ "$l" = "$w" ] && ! grep -q '^exit status 0$' <<<"$l"; then
    pass "refused alike: $name: $(tail -1 <<<"$l")"
  else
    fail "refused alike: $name"
    echo "  linux:   $l"
    echo "  windows: $w"
  fi
}
while IFS='|' read -r name text; do
  case $name in '' | '#'*) continue ;; esac
  printf '%b' "$text" >"$work/bad/$name.scn"
done <"$here/bad_scenarios.txt"
# Relative paths, the same for both programs.
(
  cd "$work/bad"
  for scn in *.scn; do refused_alike "${scn%.scn}" "$scn"; done
  mkdir -p folder.scn.d
  refused_alike "a folder as scenario" folder.scn.d
  refused_alike "no such file" no_such_file.scn
  {
    printf 'BEGIN_DESC\n'
    head -c 70000 /dev/zero | tr '\0' x
    printf '\nEND_DESC\n'
  } >long_line.scn
  refused_alike "a line too long" long_line.scn
  printf '%s\n' BEGIN_SHIPS A:rocket "  STATUS Landed Mars" "  POS 0 0" "  FOO 1" END END_SHIPS \
    >unknown_line.scn
  refused_alike "an unknown line under --strict" unknown_line.scn --strict
  exit $failures
) || failures=$?

if [ "$failures" -ne 0 ]; then
  echo "test-windows: $failures checks failed; the whole output: $log"
  exit 1
fi
echo "test-windows: every check passed"
