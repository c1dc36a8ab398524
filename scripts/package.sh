#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian packages q57backup, libspp1 and libspp-dev from the release
# tree build/ (configured with the prefix /usr by scripts/build.sh, so the
# programs look for their files where the packages put them) into
# build/packages/, then checks them with lintian: an error fails the script,
# warnings are shown. README.md ("Installation") names the warnings that stay
# and why.
#   scripts/package.sh            build (if needed), package, check
#   scripts/package.sh --no-build package what build/ holds, check (CI: just built)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--no-build" ]; then
  scripts/build.sh release
fi

# A tree configured for another prefix would make packages whose programs
# look for their help and libraries in the wrong place.
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' build/CMakeCache.txt)
if [ "$prefix" != /usr ]; then
  echo "build/ is configured for the prefix '$prefix', not /usr: run scripts/build.sh" >&2
  exit 1
fi

rm -rf build/packages
# The build tree's umask must not reach the packages (files 0644, programs 0755).
umask 022
# CPack's own output (file types, dpkg-shlibdeps) is shown only when it fails.
log=build/cpack.log
if ! (cd build && cpack -G DEB --config CPackConfig.cmake) >"$log" 2>&1; then
  cat "$log"
  echo "cpack failed" >&2
  exit 1
fi
rm -rf build/packages/_CPack_Packages
ls -l build/packages/*.deb

# Errors fail (lintian's exit status); warnings and the rest are shown.
lintian --fail-on error --tag-display-limit 0 build/packages/*.deb
echo "lintian: no errors"
