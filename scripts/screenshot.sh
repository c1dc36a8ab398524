#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Redraws docs/window.png and docs/editor.png, the READMEs' pictures of the
# window and of the address book editor, on Qt's offscreen platform (no
# display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ57_BENCH=OFF >/dev/null
cmake --build build-demo --target window_screenshot editor_screenshot
mkdir -p docs
build-demo/ui/window_screenshot docs/window.png
build-demo/preview/editor_screenshot docs/editor.png
echo "docs/window.png and docs/editor.png written"
