#!/usr/bin/env bash
# The main job, end to end: builds the program, starts the device simulator with
# its built-in sample Q57 on a pseudo-terminal (reached as COM1), backs up all
# five items with q57backup-cli, restores those files to the device, and shows
# where the files landed. Everything happens in a throw-away settings, home and
# temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only the two programs the demo runs, as a user's build: no tests, and
# warnings do not stop it.
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ57_BENCH=OFF >/dev/null
cmake --build build-demo --target q57sim q57backup-cli

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
