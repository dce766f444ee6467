#!/bin/sh
# Runs a test program on a private X server of its own (Xvfb, on a display
# number the server picks) with Qt's xcb platform, so that real key presses
# and the server's key repeat reach the window. Exits with 77 (skipped) when
# Xvfb or xdotool is missing.
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (apt-get install xvfb xdotool); the X server tests did not run."
    exit 77
  fi
done
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$displayfile"' EXIT INT TERM
i=0
while [ ! -s "$displayfile" ]; do
  i=$((i + 1))
  if [ "$i" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "SKIPPED: Xvfb did not start."
    exit 77
  fi
  sleep 0.1
done
display=$(head -n 1 "$displayfile")
DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$@"
