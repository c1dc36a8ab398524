#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds a MIME database from the package file $1 alone, as the desktop's
# update-mime-database does on installation, and checks that it defines the
# address book type for *.adr files.
set -euo pipefail

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/mime/packages"
cp "$1" "$scratch/mime/packages/"

xmllint --noout "$1"
# It reports a file it cannot read on standard error and goes on: fail on that.
errors=$(XDG_DATA_HOME=$scratch update-mime-database "$scratch/mime" 2>&1 >/dev/null)
if [ -n "$errors" ]; then
  echo "update-mime-database: $errors"
  exit 1
fi
type_file=$scratch/mime/application/x-q57-addressbook.xml
grep -q "<glob pattern=\"\*\.adr\"" "$type_file"
grep -q "<comment>." "$type_file"
grep -qx '50:application/x-q57-addressbook:\*\.adr' "$scratch/mime/globs2"
echo "application/x-q57-addressbook: *.adr"
