#!/usr/bin/env bash
# Fuzzes the loaders of outside data for about a minute in all: configures a
# clang build with ZQ_FUZZ=ON in build/fuzz, builds only the fuzz targets, and
# runs each on a copy of its seed corpus (the seeds stay as they are): the
# bitmap loader and the PNG reader for a quarter of the time each, the level
# file, the numbered-file reads and the fonts for a sixth each (the fonts'
# seeds gain a TrueType file of the system's, DejaVu Sans when installed,
# behind four parameter bytes). Any crash, sanitizer report or leak fails the run; its
# input is kept in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/fuzz
seconds=${ZQ_FUZZ_SECONDS:-60}  # in all

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DZQ_FUZZ=ON -DZQ_SANITIZE=address \
  -DZQ_BUILD_BENCH=OFF -DZQ_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target bitmap_loader_fuzz png_loader_fuzz level_file_fuzz numbered_file_fuzz font_fuzz -j"$(nproc)"

work=$(mktemp -d /tmp/zq_fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/findings"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
fuzz() {  # target, seed folder under tests/fuzz, seconds, more seed folders
  local target=$1 seeds=$2 time=$3
  echo "== $target ($time s)"
  cp -r "$root/tests/fuzz/$seeds" "$work/$target"
  if ! "$build/tests/fuzz/$target" -max_total_time="$time" -print_final_stats=1 \
      -artifact_prefix="$build/findings/$target-" "$work/$target" "${@:4}"; then
    echo "$target found a fault; input kept in $build/findings" >&2
    status=1
  fi
}
fuzz bitmap_loader_fuzz corpus $((seconds / 4))
fuzz png_loader_fuzz png_corpus $((seconds / 4))
fuzz level_file_fuzz level_corpus $((seconds / 6))
fuzz numbered_file_fuzz file_corpus $((seconds / 6))
ttf=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
mkdir -p "$work/font_seeds"
if [ -e "$ttf" ]; then { printf '\013\000\101\000'; cat "$ttf"; } >"$work/font_seeds/dejavu_sans_12"; fi
fuzz font_fuzz font_corpus $((seconds / 6)) "$work/font_seeds"
exit $status
