#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds one build tree.
#   scripts/build.sh            release tree in build/ (g++), prefix /usr: packaged from
#   scripts/build.sh sanitize   clang tree in build-asan/ with ASan, UBSan and the fuzz targets
#   scripts/build.sh tsan       clang tree in build-tsan/ with ThreadSanitizer; builds only
#                               the tests labelled tsan (target q57_tsan_tests) and what they need
#
# These are the trees scripts/test.sh builds and tests, so a tree built here is
# the one CI tested. All of them turn warnings into errors and compile each test
# program as one unit (Q57_UNITY_TESTS): the GoogleTest headers are then parsed
# once per test program instead of once per file, which takes a quarter off a
# full build of the release tree and a third off the ASan tree.
set -euo pipefail
cd "$(dirname "$0")/.."

clang=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
common=(-G Ninja -DQ57_WERROR=ON -DQ57_UNITY_TESTS=ON)

case "${1:-release}" in
  release)
    # -O2 as a packager builds it, with -g1 (functions and line tables, enough
    # for a backtrace) rather than -g: g++ tracking every local variable for
    # full debug information made the whole tree a quarter slower to build.
    # The prefix /usr makes this tree the one the Debian packages are made
    # from (scripts/package.sh): the window's compiled-in folders for its help
    # and preview library are then where the packages install them. Nothing
    # else in the build or its tests depends on the prefix.
    cmake -S . -B build "${common[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
      -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
    cmake --build build
    ;;
  sanitize)
    # -O0: the tests mostly wait on the simulator and the fuzz targets run for a
    # fixed time, so -O1 only made the build a third longer.
    cmake -S . -B build-asan "${common[@]}" -DCMAKE_BUILD_TYPE=Debug "${clang[@]}" \
      -DQ57_SANITIZE=ON -DQ57_FUZZ=ON -DQ57_BENCH=OFF >/dev/null
    cmake --build build-asan
    ;;
  tsan)
    # -O0 too: the jobs tests took as long at -O1, which built slower.
    cmake -S . -B build-tsan "${common[@]}" -DCMAKE_BUILD_TYPE=Debug "${clang[@]}" \
      -DQ57_TSAN=ON -DQ57_BENCH=OFF >/dev/null
    cmake --build build-tsan --target q57_tsan_tests
    ;;
  *)
    echo "usage: $0 [release|sanitize|tsan]" >&2
    exit 2
    ;;
esac
