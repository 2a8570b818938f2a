#!/usr/bin/env bash
# The author's kit end to end, as a module author meets it: the build is installed into a
# prefix, the prefix is moved, and the example module is built out of tree against it, once
# with CMake (find_package, vesselsim_add_module) and once with pkg-config and a plain compiler
# line. Both are flown by the installed program with the build folder out of sight (hidden
# under an empty folder where the system allows it; in any case no file of it may be opened).
#   out_of_tree.sh BUILD_DIR
set -euo pipefail

if [ "${1:-}" = --hidden ]; then
  # Inside a mount namespace of our own: the build folder is hidden, then the rest runs.
  mount -t tmpfs none "$2"
  shift 2
  exec "$@"
fi

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

cmake --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/prefix"
prefix=$work/prefix
example=$prefix/share/vesselsim/examples/hoverbox

for f in "$prefix"/bin/vesselsim "$prefix"/lib/libvesselsim.so.* "$prefix"/lib/vesselsim/modules/*.so; do
  if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "$f looks for libraries in the build folder"
  fi
done
if grep -rqF "$build" "$prefix/lib/cmake" "$prefix/lib/pkgconfig"; then
  fail "the CMake or pkg-config package names the build folder"
fi

# Builds the example both ways and flies each; run with the build folder hidden or not.
cat >"$work/author.sh" <<'AUTHOR'
set -euo pipefail
prefix=$1 work=$2 build=$3
example=$prefix/share/vesselsim/examples/hoverbox
fail() { echo "FAIL: $*"; exit 1; }

cmake -S "$example" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log" 2>&1 ||
  { cat "$work/cmake.log"; fail "the example does not configure against the prefix"; }
cmake --build "$work/cmake" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "the example does not build"; }

mkdir -p "$work/pc"
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
c++ -std=c++20 -shared -fPIC -o "$work/pc/hoverbox.so" "$example/hoverbox.cpp" \
  "$(pkg-config --variable=module_frame vesselsim)" $(pkg-config --cflags --libs vesselsim) ||
  fail "the plain compiler line with pkg-config does not build the example"

for dir in "$work/cmake" "$work/pc"; do
  exports=$(nm -D --defined-only "$dir/hoverbox.so" | awk '{print $3}' | sort | tr '\n' ' ')
  [ "$exports" = "GetModuleVersion ModuleDate ovcExit ovcInit " ] || fail "$dir exports: $exports"
  out=$(LD_DEBUG=files "$prefix/bin/vesselsim" run "$example/hoverbox.scn" --modules "$dir" \
    --until 60 --key 30:U --save "$work/end.scn" 2>"$work/debug.log") ||
    { grep -v "^ *[0-9]*:" "$work/debug.log"; fail "the installed program cannot fly $dir/hoverbox.so"; }
  if grep -F "$build" "$work/debug.log" | grep -q "file="; then
    fail "the installed program opened a file of the build folder"
  fi
  grep -q "key U pressed on Box" <<<"$out" || fail "no key line: $out"
  grep -q "Box (hoverbox): flying 30.0 m above the ground" <<<"$out" || fail "not holding 30 m: $out"
  grep -q "^  HOLD 30.0$" "$work/end.scn" || fail "the module's own line is not saved"
done
echo "built with CMake and with pkg-config, flown by the installed program"

# The build's own program and modules, copied, run on the copied library.
"$work/copy/bin/vesselsim" describe quor_tevlan >/dev/null 2>"$work/copy.log" ||
  { cat "$work/copy.log"; fail "a copy of the build's bin/ and lib/ does not run"; }
echo "a copy of the build's bin/ and lib/ runs on its own"
AUTHOR
mkdir "$work/copy"
cp -a "$build/bin" "$build/lib" "$work/copy"

# Where the system lets a user mount in a namespace of their own, the build folder is hidden.
if unshare -rm sh -c 'mount -t tmpfs none "$1"' sh "$build" 2>/dev/null; then
  unshare -rm "$0" --hidden "$build" bash "$work/author.sh" "$prefix" "$work" "$build"
  echo "(the build folder was hidden)"
else
  bash "$work/author.sh" "$prefix" "$work" "$build"
  echo "(no mount namespace here: the build folder was checked unopened)"
fi
