#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds one build tree.
#   scripts/build.sh            release tree in build/ (g++), prefix /usr: packaged from
#   scripts/build.sh sanitize   clang tree in build-asan/ with ASan, UBSan and the fuzz targets
#   scripts/build.sh tsan       clang tree in build-tsan/ with ThreadSanitizer; builds only
#                               the tests labelled tsan (target q57_tsan_tests) and what they need
#
# These are the trees scripts/test.sh builds and tests, so a tree built here is
# the one CI tested. Each is a preset of CMakePresets.json (configure, build and
# test presets of the same name; `cmake --preset dev` is the development tree
# build-dev/), so an editor or a developer gets exactly these trees too. All of
# them turn warnings into errors and compile each test program as one unit
# (Q57_UNITY_TESTS): the GoogleTest headers are then parsed once per test
# program instead of once per file, which takes a quarter off a full build of
# the release tree and a third off the ASan tree. The release tree is -O2 as a
# packager builds it, with -g1 (functions and line tables, enough for a
# backtrace) rather than -g: g++ tracking every local variable for full debug
# information made the whole tree a quarter slower to build. Its prefix /usr
# makes it the tree the Debian packages are made from (scripts/package.sh): the
# window's compiled-in folders for its help and preview library are then where
# the packages install them. The sanitizer trees are -O0: their tests mostly
# wait on the simulator, pseudo-terminals and sockets, and -O1 only made the
# builds a third longer.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-release}
case "$preset" in
  release | sanitize | tsan) ;;
  *)
    echo "usage: $0 [release|sanitize|tsan]" >&2
    exit 2
    ;;
esac
cmake --preset "$preset" >/dev/null
# The tsan build preset builds only the target q57_tsan_tests.
cmake --build --preset "$preset"
