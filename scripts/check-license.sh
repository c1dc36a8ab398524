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

checked=()
for file in "${files[@]}"; do
  case "$file" in
    */fixtures/* | */seeds/*) continue ;;
    *.cpp | *.h | *.c | *CMakeLists.txt | *.cmake | *.sh | .ci/run | *.supp | *.html | *.svg | *.qrc | *.in | *.desktop | *.xml) ;;
    man/*.[0-9]) ;; # roff manual pages
    *) continue ;;
  esac
  [ -f "$file" ] && checked+=("$file")
done

# One pass over all of them: a file passes when one of its first three lines
# carries the identifier.
awk 'FNR == 1 { files[FILENAME] = 0 }
     FNR <= 3 && /SPDX-License-Identifier: MIT/ { files[FILENAME] = 1 }
     END { bad = 0
           for (f in files) if (!files[f]) { print "no SPDX-License-Identifier line: " f; bad = 1 }
           exit bad }' "${checked[@]}"
