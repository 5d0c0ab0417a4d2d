#!/usr/bin/env bash
# Builds everything and runs every test twice, in the release build users get
# (its drawing tests again with the faster routine levels switched off) and
# an AddressSanitizer + UndefinedBehaviorSanitizer build; then builds
# every target again with clang++ and runs its tests, runs the tests that
# cross threads under ThreadSanitizer, a short fuzzing run, and ./run.sh end
# to end in an X server of its own. Every build here stops at a warning.
set -euo pipefail
cd "$(dirname "$0")"
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

jobs=$(nproc)
status=0
run_suite() {  # name, then cmake options
  local name=$1; shift
  echo "== $name build"
  cmake -S . -B "build/$name" "$@" >/dev/null
  if ! cmake --build "build/$name" -j"$jobs" >"build/$name.log" 2>&1; then
    tail -n 60 "build/$name.log"
    status=1
    return
  fi
  echo "== $name tests"
  (cd "build/$name" && ctest -j"$jobs" --timeout 600 --output-on-failure ${ZQ_CTEST_FILTER:+-R "$ZQ_CTEST_FILTER"}) ||
    status=1
}

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite normal -DCMAKE_BUILD_TYPE=Release -DZQ_WERROR=ON
# The drawing tests again with the faster routine levels switched off, one
# level at a time from the top: AVX2 (where the processor has it), then SSE2.
drawing_tests='^(Sets/|Depths/(Clipping|Shortcuts)|PixelBytes/|Blitters|Capture|Console\.|Context|FloodFill|Polygons|'
drawing_tests+='Primitives|Put|RoutineChoice|RoutineLevel|ScalerChoice|Shapes|Smooth|Text|ThickLines|game_golden_frames|'
drawing_tests+='example_(forms|shapes|sprite_show|sprites|fonts|palette|hello)$)'
disable_lists=(avx2,sse2)
if grep -qw avx2 /proc/cpuinfo; then disable_lists=(avx2 avx2,sse2); fi
for list in "${disable_lists[@]}"; do
  echo "== normal drawing tests with ZQ_DISABLE=$list"
  (cd build/normal && ZQ_DISABLE=$list ctest -j"$jobs" --timeout 600 --output-on-failure -R "$drawing_tests") ||
    status=1
done
run_suite asan -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=address -DZQ_BUILD_BENCH=OFF -DZQ_WERROR=ON
CC=clang CXX=clang++ run_suite clang -DCMAKE_BUILD_TYPE=Release -DZQ_WERROR=ON
# Tests whose suite names end in "Threads" cross threads; they run again
# under ThreadSanitizer.
TSAN_OPTIONS="halt_on_error=1:suppressions=$PWD/tests/tsan.supp" ZQ_CTEST_FILTER='Threads\.' \
  run_suite tsan -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=thread -DZQ_BUILD_BENCH=OFF -DZQ_WERROR=ON
# The bitmap loader, the level file, the numbered files and the fonts take arbitrary
# bytes from files: about a minute of fuzzing in all.
echo "== fuzzing the file readers"
if tools/run_fuzz.sh >build/fuzz.log 2>&1; then
  grep -E "^== |stat::number_of_executed_units" build/fuzz.log
else
  tail -n 40 build/fuzz.log
  status=1
fi
# The README's first command, as a new user runs it.
echo "== ./run.sh end to end"
tools/check_run_sh.sh || status=1
exit $status
