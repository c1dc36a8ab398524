#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Completes command lines with the q57backup-cli bash completion given as $1
# and compares the replies with what each should offer.
set -uo pipefail

# shellcheck source=/dev/null
source "$1"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/alps"
touch "$scratch/alpha.opt" "$scratch/beta.adr"
cd "$scratch" || exit 1
# As bash has it by default, whatever the calling shell set.
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'

# line typed so far | the replies, sorted, space-separated
cases=(
  "q57backup-cli |--help --version backup clear merge restore validate"
  "q57backup-cli re|restore"
  "q57backup-cli backup --|--file --help --items --port --udp --yes"
  "q57backup-cli clear --|--help --port --udp --yes"
  "q57backup-cli clear --yes -|--help --port --udp --yes"
  "q57backup-cli restore --port |COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8"
  "q57backup-cli restore --port=COM|COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8"
  "q57backup-cli backup --udp |"
  "q57backup-cli backup --items |addressBook folders memos preferences quicktext"
  "q57backup-cli backup --items preferences,m|preferences,memos"
  "q57backup-cli backup --file |addressBook= folders= memos= preferences= quicktext="
  "q57backup-cli backup --file memos=al|alpha.opt alps"
  "q57backup-cli backup --file=memos=b|beta.adr"
  "q57backup-cli validate |addressBook folders memos preferences quicktext"
  "q57backup-cli validate addressBook b|beta.adr"
  "q57backup-cli validate --capacity 12 memos al|alpha.opt alps"
  "q57backup-cli validate memos alpha.opt |--capacity --help --level2"
  "q57backup-cli merge --|--help --q57 --w300"
  "q57backup-cli merge --w300 be|beta.adr"
  "q57backup-cli unknown |"
)

failures=0
for entry in "${cases[@]}"; do
  COMP_LINE=${entry%%|*}
  expected=${entry#*|}
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _q57backup_cli q57backup-cli
  actual=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
  if [ "$actual" != "$expected" ]; then
    echo "FAIL: '$COMP_LINE': expected '$expected', got '$actual'"
    failures=$((failures + 1))
  fi
done
echo "${#cases[@]} cases, $failures failed"
[ "$failures" -eq 0 ]
