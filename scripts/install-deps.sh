#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, testing and running the program need.
# Safe to run repeatedly: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config          # build
  clang libclang-rt-14-dev                  # sanitizer (ASan, UBSan, TSan) and libFuzzer builds
  libgtest-dev libgmock-dev                 # unit tests
  qt6-base-dev                              # settings store, paths (QtCore), window (QtWidgets), QtTest
  libqt6svg6                                # draws the window's SVG icon
  fonts-dejavu-core                         # text metrics for the window tests on the offscreen platform
  desktop-file-utils appstream              # the desktop entries' and the metainfo's validators (tests)
  libxml2-utils shared-mime-info            # the MIME type file's checks (tests)
  groff-base                                # checks the manual pages (test man_pages)
  dpkg-dev file lintian                     # Debian packages: dpkg-shlibdeps, CPack's file types, checks
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
