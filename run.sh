#!/usr/bin/env bash
# Builds the release version and starts the game from data/.
set -euo pipefail
cd "$(dirname "$0")"
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${ZQGFX:-}" != "null" ]; then
  echo "run.sh: no display found (set DISPLAY, or run under xvfb-run)" >&2
  exit 1
fi
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DZQ_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" >/dev/null
game=build/release/game/zentravolk
[ -x "$game" ] || game=build/release/tools/screen_probe
cd data
exec "../$game"
