#!/usr/bin/env bash
# Builds PACEDECK and opens the main window for a copy named DEMO (a symlink build/DEMO
# to the program, so its settings live in the section "DEMO").
# With a display (DISPLAY or WAYLAND_DISPLAY) the window opens there; otherwise it opens
# offscreen and a screenshot is saved to build/DEMO-main-window.png: PACEDECK_SCREENSHOT
# makes the program grab its main window shortly after showing it and then close it as
# the close box does.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh demo
cmake -S . -B build -G Ninja >build.configure.log 2>&1 || { cat build.configure.log; exit 1; }
cmake --build build --target pacedeck -j2
ln -sfn app/pacedeck build/DEMO

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== opening PACEDECK - DEMO"
  exec build/DEMO
fi

shot="$(pwd)/build/DEMO-main-window.png"
echo "== no display: opening PACEDECK - DEMO offscreen"
QT_QPA_PLATFORM=offscreen PACEDECK_SCREENSHOT="$shot" build/DEMO
echo "== screenshot of the main window: $shot"
