#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# check-exports.sh LIBRARY SYMBOL...: fails unless the symbols LIBRARY defines
# in its dynamic symbol table (what a program that loads it can resolve) are
# exactly SYMBOL... The static libraries linked into it stay private. The
# linker's own markers of the data segment's ends are in every library's table
# and are left out.
set -euo pipefail
library=$1
shift
defined=$(nm -D --defined-only "$library" | awk '{ print $NF }' |
  grep -vx -e __bss_start -e _edata -e _end | sort)
wanted=$(printf '%s\n' "$@" | sort)
if [ "$defined" != "$wanted" ]; then
  echo "$library exports:"
  printf '  %s\n' $defined
  echo "expected only:"
  printf '  %s\n' $wanted
  exit 1
fi
