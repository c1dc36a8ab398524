#!/usr/bin/env bash
# The program's main job against its built-in sample device.
# (Filled in as the simulator and the jobs arrive.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
echo "Nothing to demonstrate yet."
