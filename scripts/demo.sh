#!/usr/bin/env bash
# The link-level demo: the spp library, called from a plain C program,
# connects to a scripted device on a pseudo-terminal (reached as COM1: through
# the ports folder), sends one frame, receives one and releases the link.
# (The main job against the device simulator replaces this when it exists.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release

config_home=$(mktemp -d)
trap 'rm -rf "$config_home"' EXIT
export XDG_CONFIG_HOME=$config_home

build/link/demo/spp_demo_device "$config_home" &
device=$!
for _ in $(seq 100); do
  [ -L "$config_home/Zantherix/ports/com1" ] && break
  sleep 0.05
done
status=0
build/link/demo/spp_demo COM1: || status=$?
wait "$device" || status=$?
exit "$status"
