#!/usr/bin/env bash
# Builds everything and runs every test twice: a normal build and an
# AddressSanitizer + UndefinedBehaviorSanitizer build.
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
run_suite normal -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite asan -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=address -DZQ_BUILD_BENCH=OFF
# Tests whose suite names end in "Threads" cross threads; they run again
# under ThreadSanitizer.
TSAN_OPTIONS="halt_on_error=1:suppressions=$PWD/tests/tsan.supp" ZQ_CTEST_FILTER='Threads\.' \
  run_suite tsan -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=thread -DZQ_BUILD_BENCH=OFF
exit $status
