#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh            release tree in build/ (gcc)
#   scripts/build.sh sanitize   clang tree in build-asan/ with ASan, UBSan and the fuzz targets
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-release}" in
  release)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQ57_WERROR=ON >/dev/null
    cmake --build build
    ;;
  sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DQ57_SANITIZE=ON -DQ57_FUZZ=ON -DQ57_BENCH=OFF -DQ57_WERROR=ON >/dev/null
    cmake --build build-asan
    ;;
  *)
    echo "usage: $0 [release|sanitize]" >&2
    exit 2
    ;;
esac
