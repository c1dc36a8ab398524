#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, then builds three trees and runs their tests:
#   build/       g++, as built for users            every test; then its Debian packages
#                                                   (lintian) and their install test
#   build-asan/  clang, AddressSanitizer + UBSan    every test, and a short run of each fuzz target
#   build-tsan/  clang, ThreadSanitizer             the tests labelled tsan (code on several threads)
#
# CI runs this on two cores and gives it ten minutes. The tests spend most of
# their time waiting on the device simulator, pseudo-terminals and sockets, so
# each tree's tests run in the background while the next tree compiles, and the
# compiler runs at a lower priority so that it does not upset the tests' timing.
# Only one tree's tests run at a time: the UDP tests of every tree use the same
# port, and ctest keeps them apart only within one run.
#
# A failing test does not stop the script: every tree is still built and
# tested, each tree's test output is shown when its tests have ended, and the
# script fails at the end, naming what failed. A failing build stops it at once.
set -euo pipefail
cd "$(dirname "$0")/.."

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# tests/tsan.supp only ignores what happens inside the Qt libraries, which are
# not built with ThreadSanitizer.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp

# Four at a time on two cores: the tests mostly sleep, and the longest test
# program alone takes about half of a tree's test time. A stage that selects no
# test at all (a label or a tree gone wrong) fails instead of passing.
ctest_options=(--output-on-failure -j 4 --no-tests=error)

logs=$(mktemp -d)
timings=()      # one line per stage, for the summary at the end
failed=()       # the test stages that failed
tests_pid=      # the tests running in the background, if any
tests_tree=     # their build tree
tests_name=
tests_started=

now_ms() {
  local us=${EPOCHREALTIME/./}
  echo $((us / 1000))
}
script_started=$(now_ms)

record() { # NAME SECONDS
  timings+=("$(printf '  %-14s %4d s' "$1" "$2")")
}

# stage NAME COMMAND...: runs COMMAND in the foreground, timed.
stage() {
  local name=$1 started
  shift
  started=$(now_ms)
  echo "== $name"
  "$@"
  record "$name" $((($(now_ms) - started) / 1000))
}

# check_stage NAME COMMAND...: like stage, but a failure is noted (the script
# fails at the end) instead of stopping the script; the status is returned.
check_stage() {
  local name=$1 started status=0
  shift
  started=$(now_ms)
  echo "== $name"
  "$@" || status=$?
  record "$name" $((($(now_ms) - started) / 1000))
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
  fi
  return "$status"
}

# tests_start NAME TREE CTEST_ARGS...: once the tests started before have
# ended, starts ctest on TREE in the background, in its own process group (so
# that it can be stopped with everything it started), its output kept until it ends.
tests_start() {
  tests_finish
  tests_name=$1
  tests_tree=$2
  shift 2
  echo "== $tests_name: running in the background, shown when done"
  tests_started=$(now_ms)
  setsid ctest --test-dir "$tests_tree" "$@" "${ctest_options[@]}" >"$logs/$tests_name" 2>&1 &
  tests_pid=$!
}

# tests_finish: waits for the background tests, shows their output and notes
# whether they failed.
tests_finish() {
  [ -n "$tests_pid" ] || return 0
  local status=0 seconds
  wait "$tests_pid" || status=$?
  tests_pid=
  echo "== $tests_name (ended)"
  cat "$logs/$tests_name"
  # ctest says how long its tests took; the wait may have come later than their end.
  seconds=$(sed -n 's/^Total Test time (real) = *\([0-9]*\).*/\1/p' "$logs/$tests_name")
  record "$tests_name" "${seconds:-$((($(now_ms) - tests_started) / 1000))}"
  if [ "$status" -ne 0 ]; then
    failed+=("$tests_name")
    show_fuzz_artifacts "$tests_tree"
  fi
}

# show_fuzz_artifacts TREE: the inputs the fuzz targets of TREE left behind
# (crashes, leaks, time-outs), to reproduce with the target and the file.
show_fuzz_artifacts() {
  local files
  files=$(find "$1/fuzz" -path '*/artifacts/*' -type f 2>/dev/null || true)
  [ -n "$files" ] || return 0
  echo "== fuzz inputs left in $1/fuzz/*/artifacts/ (run the target with the file to reproduce):"
  while IFS= read -r file; do
    printf '  %s (%s bytes)\n' "$file" "$(stat -c %s "$file")"
  done <<<"$files"
}

on_exit() {
  local status=$?
  if [ -n "$tests_pid" ]; then
    kill -TERM -- "-$tests_pid" 2>/dev/null || true
    wait "$tests_pid" 2>/dev/null || true
    echo "== $tests_name (stopped): output so far"
    cat "$logs/$tests_name"
  fi
  rm -rf "$logs"
  echo
  echo "== Time per stage (a tree's tests run in the background from the end of its build)"
  printf '%s\n' "${timings[@]}"
  record total $((($(now_ms) - script_started) / 1000))
  printf '%s\n' "${timings[-1]}"
  if [ ${#failed[@]} -gt 0 ]; then
    local list
    list=$(printf ', %s' "${failed[@]}")
    echo "FAILED: ${list:2} (the output is above)"
  elif [ "$status" -eq 130 ] || [ "$status" -eq 143 ]; then
    echo "STOPPED: interrupted"
  elif [ "$status" -ne 0 ]; then
    echo "FAILED: stopped by the error above"
  else
    echo "All tests passed."
  fi
}
trap on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

stage "install deps" scripts/install-deps.sh

stage "release build" nice scripts/build.sh release
tests_start "release tests" build
# The Debian packages of the release tree, and the programs as installed
# from them, while its tests run.
if check_stage "packages" nice scripts/package.sh --no-build; then
  check_stage "install test" nice scripts/install-test.sh || true
fi

stage "asan build" nice scripts/build.sh sanitize
tests_start "asan tests" build-asan

stage "tsan build" nice scripts/build.sh tsan
tests_start "tsan tests" build-tsan -L tsan
tests_finish

if [ ${#failed[@]} -gt 0 ]; then
  exit 1
fi
