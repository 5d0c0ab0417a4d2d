#!/usr/bin/env bash
# The long soak: the game on DirectX and on GDI under a flood of random keys
# and pointer motion, each for SECONDS (default 300), in a private Xvfb.
# Run it on the ThreadSanitizer build to look for races:
#   tools/display_soak.sh [build dir, default build/tsan] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/tsan}
seconds=${2:-300}
if [ ! -x "$build/tests/startup_display_test" ]; then
  echo "display_soak: build $build first (cmake --build $build)" >&2
  exit 2
fi
export TSAN_OPTIONS="halt_on_error=1:suppressions=$PWD/tests/tsan.supp"
ZQ_SOAK_SECONDS=$seconds ZQ_SOURCE_DIR=$PWD \
  exec "$build/tests/startup_display_test" --gtest_filter='SoakThreads.*'
