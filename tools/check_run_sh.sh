#!/usr/bin/env bash
# The README's first command as a new user runs it: ./run.sh builds the game
# and starts it, here in an X server of this script's own. Passes when the
# build finishes, the "Zentravolk" window appears within 10 seconds of the
# game's start, and Escape held in that window ends the game with status 0.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--inside" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" --inside
fi
unset ZQGFX  # the drivers as a user gets them
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}detect_leaks=0"
window_seconds=10
end_seconds=10
log=$(mktemp)
trap 'rm -f "$log"' EXIT
fail() {
  echo "check_run_sh: $*" >&2
  sed 's/^/  run.sh| /' "$log" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
}

./run.sh >"$log" 2>&1 &
pid=$!  # run.sh, which becomes the game
until grep -q "^run.sh: starting the game" "$log"; do
  kill -0 "$pid" 2>/dev/null || fail "run.sh ended before it started the game"
  sleep 1
done
window=$(timeout "$window_seconds" xdotool search --sync --onlyvisible --name '^Zentravolk$' | head -n 1) ||
  fail "no visible window \"Zentravolk\" within $window_seconds s of the game's start"
echo "check_run_sh: window $window appeared"
timeout 5 xdotool windowfocus --sync "$window" || fail "could not focus the game's window"
xdotool keydown Escape
for _ in $(seq $((end_seconds * 10))); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
xdotool keyup Escape 2>/dev/null || true
kill -0 "$pid" 2>/dev/null && fail "the game did not end within $end_seconds s of Escape held"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "check_run_sh: the game ended with status 0"
