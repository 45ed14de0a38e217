#!/usr/bin/env bash
# Starts the desktop program on its built-in default design. Without a display (a server, a CI
# machine) it starts under a virtual one when xvfb-run is there, and otherwise says so.
set -euo pipefail
build=${1:-build/default}
program="$build/app/warplon"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
if [ "${QT_QPA_PLATFORM:-}" = offscreen ] || ! command -v xvfb-run >/dev/null; then
  echo "No display: starting Warplon on the offscreen platform and saving a picture of it."
  QT_QPA_PLATFORM=offscreen "$program" --simulate --screenshot "$build/warplon-screen.png"
else
  echo "No display: starting Warplon on a virtual display and saving a picture of it."
  xvfb-run -a -s "-screen 0 1400x900x24" "$program" --simulate --screenshot "$build/warplon-screen.png"
fi
echo "Saved $build/warplon-screen.png"
