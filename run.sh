#!/usr/bin/env bash
# Builds the game in its release version (only the game: no tests, tools or
# examples) and starts it from data/.
set -euo pipefail
cd "$(dirname "$0")"
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${ZQGFX:-}" != "null" ]; then
  echo "run.sh: no display found (set DISPLAY, or run under xvfb-run)" >&2
  exit 1
fi
build=build/release
echo "run.sh: building the game in $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZQ_BUILD_BENCH=OFF >/dev/null
if ! cmake --build "$build" -j"$(nproc)" --target zentravolk >"$build/run.log" 2>&1; then
  tail -n 40 "$build/run.log" >&2
  echo "run.sh: the build failed (whole output: $build/run.log)" >&2
  exit 1
fi
echo "run.sh: starting the game"
# The picture at the largest whole-number scale that fits the desktop, unless
# the user chose a scale (ZQSCALE=2, ...) or none (ZQSCALE=off).
export ZQSCALE="${ZQSCALE:-auto}"
cd data
exec "../$build/game/zentravolk"
