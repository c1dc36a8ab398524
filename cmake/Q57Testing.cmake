# SPDX-License-Identifier: MIT
# Small helpers that wire tests, fuzz targets and benchmarks into CTest.
include_guard(GLOBAL)
enable_testing()
find_package(GTest REQUIRED)

# The tests labelled tsan: the ThreadSanitizer tree builds only this target
# (and what those tests link and start), then runs `ctest -L tsan`.
add_custom_target(q57_tsan_tests)

# The end of a GoogleTest program's output when tests were skipped and none failed.
set(Q57_GTEST_SKIPPED "\\[  SKIPPED \\] [0-9]+ tests?, listed below:\n(\\[  SKIPPED \\] [^\n]*\n)*$")

# q57_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [NO_UNITY])
# Builds one GoogleTest executable, linked with the shared test helpers of
# tests/support, and registers it as one CTest test. Label the tests whose code
# runs on several threads `tsan`.
#
# With Q57_UNITY_TESTS the sources are compiled together as one unit, which
# spares parsing the GoogleTest headers again for every file: give the helpers
# in each file's anonymous namespace names no other file of the same test
# program uses, or pass NO_UNITY (or mark one file SKIP_UNITY_BUILD_INCLUSION).
function(q57_add_test)
  cmake_parse_arguments(T "NO_UNITY" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main q57_test_support ${T_LIBS})
  if(Q57_UNITY_TESTS AND NOT T_NO_UNITY)
    set_target_properties(${T_NAME} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  endif()
  if("tsan" IN_LIST T_LABELS)
    add_dependencies(q57_tsan_tests ${T_NAME})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  # A test that hangs is stopped after two minutes, four times what the longest
  # takes under a sanitizer: CI has ten minutes for all three trees. A program
  # whose tests passed except some that skipped themselves (GTEST_SKIP, e.g.
  # for lack of root) shows as skipped, not passed: GoogleTest then ends its
  # output with the list of skipped tests. One that also failed lists its
  # failures after them, so it still fails.
  set_tests_properties(${T_NAME} PROPERTIES LABELS "unit;${T_LABELS}" TIMEOUT 120
    SKIP_REGULAR_EXPRESSION "${Q57_GTEST_SKIPPED}")
endfunction()

# q57_unity_library(<targets...>)
# With Q57_UNITY_TESTS, also compiles each of these libraries as one unit: the
# widget modules, whose every file parses the Qt Widgets headers again, build
# in half the time. Their files' anonymous-namespace names must then differ.
function(q57_unity_library)
  if(Q57_UNITY_TESTS)
    set_target_properties(${ARGN} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  endif()
endfunction()

# q57_add_fuzz_target(NAME <name> SOURCES <files...> [LIBS <targets...>] [SECONDS <n>] [SEEDS <dir>])
# With Q57_FUZZ on (clang), builds a libFuzzer target and runs it as a CTest
# test (scripts/run-fuzz-target.sh): from a corpus made afresh in the build tree
# (fuzz/<name>/corpus) from the files of SEEDS, for SECONDS (20 by default:
# long enough to get past the seeds), with any crash file in
# fuzz/<name>/artifacts, which scripts/test.sh lists when the test fails.
# Without Q57_FUZZ, does nothing.
function(q57_add_fuzz_target)
  cmake_parse_arguments(F "" "NAME;SECONDS;SEEDS" "SOURCES;LIBS" ${ARGN})
  if(NOT Q57_FUZZ)
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set(folder ${PROJECT_BINARY_DIR}/fuzz/${F_NAME})
  add_test(NAME ${F_NAME}
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/run-fuzz-target.sh $<TARGET_FILE:${F_NAME}> ${F_SECONDS}
            ${folder}/corpus ${folder}/artifacts ${F_SEEDS})
  set_tests_properties(${F_NAME} PROPERTIES LABELS "fuzz" TIMEOUT 120)
endfunction()
