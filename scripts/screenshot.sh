#!/usr/bin/env bash
# Redraws docs/window.png, the README's picture of the window, on Qt's
# offscreen platform (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ57_BENCH=OFF >/dev/null
cmake --build build-demo --target window_screenshot
mkdir -p docs
build-demo/ui/window_screenshot docs/window.png
echo "docs/window.png written"
