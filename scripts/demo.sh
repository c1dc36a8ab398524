#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The main job, end to end: builds the program, starts the device simulator with
# its built-in sample Q57 on a pseudo-terminal (reached as COM1), backs up all
# five items with q57backup-cli, restores those files to the device, and shows
# where the files landed. Everything happens in a throw-away settings, home and
# temporary folder, removed at the end.
#
#   scripts/demo.sh            the command-line run described above
#   scripts/demo.sh --window   the same simulator as COM1, with the window
#                              q57backup open on it (needs a display)
set -euo pipefail
cd "$(dirname "$0")/.."
window=false
case "${1:-}" in
  "") ;;
  --window) window=true ;;
  *) echo "usage: $0 [--window]" >&2; exit 2 ;;
esac
if $window && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "demo: --window needs a display (DISPLAY or WAYLAND_DISPLAY is not set)" >&2
  exit 1
fi
scripts/install-deps.sh
# Only the programs the demo runs, as a user's build: no tests, and warnings
# do not stop it.
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ57_BENCH=OFF >/dev/null
if $window; then
  cmake --build build-demo --target q57sim q57backup
else
  cmake --build build-demo --target q57sim q57backup-cli
fi

world=$(mktemp -d)
simulator=
cleanup() {
  [ -n "$simulator" ] && kill "$simulator" 2>/dev/null && wait "$simulator" 2>/dev/null
  rm -rf "$world"
}
trap cleanup EXIT
export HOME=$world/home XDG_CONFIG_HOME=$world/config TMPDIR=$world/tmp XDG_CONFIG_DIRS=$world/etc
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$TMPDIR" "$XDG_CONFIG_DIRS"

build-demo/sim/q57sim --pty --as COM1 --sample small > "$world/simulator.out" 2> "$world/simulator.err" &
simulator=$!
for _ in $(seq 200); do
  grep -q '^ready' "$world/simulator.out" 2>/dev/null && break
  kill -0 "$simulator" 2>/dev/null || break
  sleep 0.05
done
if ! grep -q '^ready' "$world/simulator.out" 2>/dev/null; then
  echo "demo: the device simulator did not start (it never said \"ready\"):" >&2
  cat "$world/simulator.err" >&2
  exit 1
fi
echo "== q57sim: sample device on $(head -n 1 "$world/simulator.out"), reached as COM1"

if $window; then
  echo "== q57backup: tick items and press Backup To PC; files go to $HOME/Documents/Zantherix"
  echo "   (a throw-away home: everything is removed when the window closes)"
  build-demo/ui/q57backup
  exit 0
fi

cli=build-demo/cli/q57backup-cli
items=preferences,addressBook,folders,memos,quicktext
echo; echo "== q57backup-cli backup --items $items --port COM1"
$cli backup --items "$items" --port COM1 --yes
echo; echo "== q57backup-cli restore (the same items and files)"
$cli restore --yes

data=$HOME/Documents/Zantherix
echo; echo "== The backup files, in $data:"
ls -l "$data"
echo; echo "== The first lines of addressBook.adr:"
head -n 5 "$data/addressBook.adr"
echo; echo "(settings: $XDG_CONFIG_HOME/Zantherix/Q57 Backup.ini; all of it is removed now)"
