#!/bin/sh
# Runs the frame benchmark under a private Xvfb (Mesa's software renderer
# unless a GPU display is given in DISPLAY_OVERRIDE), from data/.
# Usage: bench/run_frame_bench.sh [build dir] [extra benchmark flags]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ $# -gt 0 ] && shift
bin=$build/bench/frame_bench
[ -x "$bin" ] || { echo "build $bin first (cmake --build $build --target frame_bench)"; exit 1; }

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -n "${DISPLAY_OVERRIDE:-}" ]; then
    display=$DISPLAY_OVERRIDE
else
    n=80
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    display=:$n
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
fi
cd "$root/data"
DISPLAY=$display SDL_AUDIODRIVER=dummy "$bin" --benchmark_min_time=5 "$@" | grep -v '^[0-9]*$'
