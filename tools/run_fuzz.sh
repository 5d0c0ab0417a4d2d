#!/usr/bin/env bash
# Fuzzes the bitmap loader for about 30 seconds: configures a clang build with
# ZQ_FUZZ=ON in build/fuzz, builds only the fuzz target, and runs it on a
# copy of the seed corpus (the seeds stay as they are). Any crash, sanitizer
# report or leak fails the run; its input is kept in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/fuzz
seconds=${ZQ_FUZZ_SECONDS:-30}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DZQ_FUZZ=ON -DZQ_SANITIZE=address \
  -DZQ_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target bitmap_loader_fuzz -j"$(nproc)"

work=$(mktemp -d /tmp/zq_fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$root/tests/fuzz/corpus" "$work/corpus"
mkdir -p "$build/findings"

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if ! "$build/tests/fuzz/bitmap_loader_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/findings/" "$work/corpus"; then
  echo "bitmap loader fuzzing found a fault; input kept in $build/findings" >&2
  exit 1
fi
