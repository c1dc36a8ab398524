#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Formats every manual page in man/ (or the folder given) with all of groff's
# warnings on and fails when any page makes groff say anything at all: a
# warning about a page is as good as an error to the reader who gets the
# broken line.
set -euo pipefail
folder=${1:-"$(dirname "$0")/../man"}

shopt -s nullglob
pages=("$folder"/*.[0-9])
if [ ${#pages[@]} -eq 0 ]; then
  echo "no manual pages in $folder"
  exit 1
fi

failed=0
for page in "${pages[@]}"; do
  # -t runs tbl for the pages with tables; -z formats without output, so
  # whatever comes out is a diagnostic.
  output=$(LC_ALL=C.UTF-8 groff -ww -t -man -Tutf8 -z "$page" 2>&1) || failed=1
  if [ -n "$output" ]; then
    echo "$page:"
    echo "$output"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "${#pages[@]} manual pages, no warnings"
exit "$failed"
