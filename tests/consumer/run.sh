#!/bin/sh
# Installs the build into a fresh prefix, checks the documentation it holds,
# then builds consumer.c against it the ways another program would
# (find_package with the shared and the static library, pkg-config with each)
# and runs each on the Null driver.
#   run.sh <build dir> <work dir>
set -eu
build=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
export ZQGFX=null

step() { echo "== $*"; }

step install
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
# Only the public headers are installed.
for header in "$prefix"/include/zentravolk/*.h; do
  [ -f "$header" ] || { echo "no public headers installed"; exit 1; }
done
if find "$prefix/include" -mindepth 1 -maxdepth 1 ! -name zentravolk | grep -q .; then
  echo "more than include/zentravolk installed:"; ls "$prefix/include"; exit 1
fi
libdir=$(dirname "$(find "$prefix" -name 'libzentravolk.so' | head -n 1)")
[ -f "$libdir/libzentravolk.a" ] || { echo "no static library"; exit 1; }
[ -f "$prefix/share/zentravolk/data/maps/mapa1.map" ] || { echo "no game data"; exit 1; }
[ -f "$prefix/share/doc/zentravolk/LICENSE" ] || { echo "no licence"; exit 1; }
[ -x "$prefix/bin/zentravolk" ] && [ -x "$prefix/libexec/zentravolk/zentravolk" ] || { echo "no game"; exit 1; }

step documentation
docs=$prefix/share/doc/zentravolk
source=$here/../..
for guide in library.md architecture.md; do
  [ -f "$docs/$guide" ] || { echo "no $guide in $docs"; exit 1; }
done
# Every example the README names, as `name.c` or `examples/name.c`.
named=$(grep -o '`\(examples/\)\?[a-z_]*\.c\(pp\)\?`' "$source/README.md" | tr -d '`' | sed 's|^examples/||' | sort -u)
[ -n "$named" ] || { echo "the README names no example"; exit 1; }
for example in $named; do
  [ -f "$docs/examples/$example" ] || { echo "README names $example; not in $docs/examples"; exit 1; }
done
if command -v doxygen >/dev/null; then
  [ -f "$docs/html/index.html" ] || { echo "doxygen is installed, but no reference in $docs/html"; exit 1; }
fi

step find_package
cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >"$work/cmake.log"
cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 1; }
data=$prefix/share/zentravolk/data
"$work/cmake/consumer" "$data"
"$work/cmake/consumer_static" "$data"
# The shared library through find_package without SDL2's CMake files.
cmake -S "$here" -B "$work/cmake_no_sdl2" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DCONSUMER_STATIC=OFF -DCMAKE_DISABLE_FIND_PACKAGE_SDL2=ON >"$work/cmake_no_sdl2.log" 2>&1 &&
  cmake --build "$work/cmake_no_sdl2" >>"$work/cmake_no_sdl2.log" 2>&1 ||
  { echo "find_package(zentravolk) needs SDL2's files for the shared library:"; cat "$work/cmake_no_sdl2.log"; exit 1; }
"$work/cmake_no_sdl2/consumer" "$data"

step pkg-config
grep -qx 'License: Zlib' "$libdir/pkgconfig/zentravolk.pc" || { echo "no licence in the pkg-config file"; exit 1; }
cc=${CC:-cc}
# Dynamic linking needs nothing of SDL2's development files: only this
# package is on pkg-config's path, not the system's sdl2.pc.
flags=$(PKG_CONFIG_LIBDIR="$libdir/pkgconfig" PKG_CONFIG_PATH="" pkg-config --cflags --libs zentravolk) ||
  { echo "pkg-config zentravolk fails without sdl2.pc"; exit 1; }
case "$flags" in *SDL2* | *sdl2*) echo "pkg-config names SDL2 for dynamic linking: $flags"; exit 1 ;; esac
# shellcheck disable=SC2086
$cc -std=c11 -Wall -Wextra -Werror -o "$work/consumer_pc" "$here/consumer.c" $flags
LD_LIBRARY_PATH="$libdir" "$work/consumer_pc" "$data"
# Static linking: --static adds what the library itself needs.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
static_flags=$(pkg-config --static --cflags --libs zentravolk | sed 's/-lzentravolk/-l:libzentravolk.a/')
# shellcheck disable=SC2086
$cc -std=c11 -Wall -Wextra -Werror -o "$work/consumer_pc_static" "$here/consumer.c" $static_flags
"$work/consumer_pc_static" "$data"

step launcher
# The game runs until Escape, which never comes on the Null driver: still
# running after two seconds means the launcher found it and its data.
status=0
timeout -k 3 2 "$prefix/bin/zentravolk" >"$work/game.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "the game ended with $status"; cat "$work/game.log"; exit 1; }
echo "consumer test: passed"
