#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the program's PNG icons from its SVG (ui/q57backup.svg) for the
# desktops that want fixed sizes. The PNGs are committed, so the build needs
# no SVG converter: run this after changing the SVG (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

for size in 48 256; do
  rsvg-convert --width "$size" --height "$size" --output "desktop/icons/q57backup-$size.png" ui/q57backup.svg
done
