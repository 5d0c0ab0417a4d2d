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
program=$2
title=$3
"$program" &
pid=$!
tries=0
while kill -0 "$pid" 2>/dev/null; do
  tries=$((tries + 1))
  if [ "$tries" -gt 60 ]; then
    kill "$pid"
    echo "$program did not end after a key"
    exit 1
  fi
  window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)
  if [ -n "$window" ]; then
    xdotool windowfocus "$window" key space 2>/dev/null || true
  fi
  sleep 0.5
done
status=0
wait "$pid" || status=$?
echo "$program ended with status $status"
[ "$status" -eq 0 ]
