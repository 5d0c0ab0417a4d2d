#!/bin/sh
# Runs a program that waits for a key in an X server of its own, presses
# Space in its window until it ends, and passes when it ends with status 0
# within 30 seconds.
#   press_key_on_display.sh <program> <window title>
set -eu
if [ "${1:-}" != "--inside" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" sh "$0" --inside "$@"
fi
unset ZQGFX  # a real driver
# In a sanitized build: Mesa unloads its driver when the display closes,
# before the exit-time leak check, leaving blocks that cannot be told from
# the program's own; memory errors are still caught.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}detect_leaks=0"
program=$2
title=$3
"$program" &
pid=$!
tries=0
while kill -0 "$pid" 2>/dev/null; do
  tries=$((tries + 1))
  if [ "$tries" -gt 60 ]; then
    kill "$pid"
    echo "$program did not end after a key; its windows:"
    for window in $(xdotool search --name "$title" 2>/dev/null || true); do
      echo "  $window \"$(xdotool getwindowname "$window" 2>/dev/null || true)\""
    done
    exit 1
  fi
  # Every visible window of exactly that name (names match regardless of
  # case, and the first title is the program's own name).
  for window in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null || true); do
    [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$title" ] || continue
    timeout 2 xdotool windowfocus --sync "$window" 2>/dev/null || continue
    xdotool keydown space sleep 0.05 keyup space 2>/dev/null || true
  done
  sleep 0.5
done
status=0
wait "$pid" || status=$?
echo "$program ended with status $status"
[ "$status" -eq 0 ]
