#!/bin/sh
# Starts the game from data/. Without a display, plays a short scripted demo
# under Xvfb and leaves screenshots and the console log in out/demo/.
BIN="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
cd "$(dirname "$0")/.."
if [ -n "$DISPLAY" ]; then
  cd data && exec "$BIN"
fi
echo "No DISPLAY: playing a scripted demo under Xvfb"
TUMBIX_BINARY="$BIN" exec python3 tools/demo.py
