#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lists every source, script and build file whose first three lines lack the
# project's SPDX license line; exits 1 when there is any. Test data (fixtures,
# fuzz seeds) is left as the device or the user wrote it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -d .git ] && command -v git >/dev/null; then
  mapfile -t files < <(git ls-files)
else
  mapfile -t files < <(find . -type f ! -path './.git/*' ! -path './build*' | sed 's|^\./||')
fi

missing=0
for file in "${files[@]}"; do
  case "$file" in
    */fixtures/* | */seeds/*) continue ;;
    *.cpp | *.h | *.c | *CMakeLists.txt | *.cmake | *.sh | .ci/run | *.supp | *.html | *.svg | *.qrc | *.in | *.scd | *.desktop | *.xml) ;;
    man/*.[0-9]) ;; # roff manual pages
    *) continue ;;
  esac
  [ -f "$file" ] || continue
  if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: MIT'; then
    echo "no SPDX-License-Identifier line: $file"
    missing=1
  fi
done
exit "$missing"
