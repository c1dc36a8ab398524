#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one libFuzzer target as a CTest test (cmake/Q57Testing.cmake):
#   run-fuzz-target.sh TARGET SECONDS CORPUS ARTIFACTS [SEEDS]
# CORPUS is made afresh from the files of SEEDS (the seeds in the source tree
# are only read: the fuzzer adds what it finds to CORPUS), so every run starts
# from the seeds and gets past them first. A crash, leak or time-out of this run
# leaves its input in ARTIFACTS (emptied first, so that it holds this run's
# only), which scripts/test.sh lists when a fuzz test fails.
set -euo pipefail
target=$1 seconds=$2 corpus=$3 artifacts=$4 seeds=${5:-}

rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
if [ -n "$seeds" ]; then
  cp -- "$seeds"/* "$corpus"/
fi
exec "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"
