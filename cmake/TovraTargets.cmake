# Helpers shared by every folder: shared libraries named as their deliverable, test executables
# one per test file, fuzz targets that double as corpus-replaying regression tests.

# tovra_product_warnings(target): with TOVRA_WERROR (test.sh's sanitizer build) a warning in the
# target's own sources stops the build. Every library and program of the product calls it.
function(tovra_product_warnings name)
  if(TOVRA_WERROR)
    target_compile_options(${name} PRIVATE -Werror)
  endif()
endfunction()

# tovra_add_library(libName SOURCES... LIBS ...): libName.so in the bundle's lib/.
function(tovra_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tovra_product_warnings(${name})
endfunction()

# tovra_add_program(Name SOURCES... LIBS ...): a program in the bundle's bin/.
function(tovra_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOVRA_BIN_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  tovra_product_warnings(${name})
endfunction()

# Every test and fuzz replay ends after this many seconds (ten times a normal run or more, with
# room for a loaded machine); a slower test names its own time-out in its folder (SLOW below).
# TOVRA_TEST_TIMEOUT_SCALE stretches them all on a slow machine.
set(TOVRA_TEST_TIMEOUT 180)
set(TOVRA_TEST_TIMEOUT_SCALE 1 CACHE STRING "Factor applied to every test time-out")

# The time-out of a test: `seconds` (or the default when empty), scaled.
function(tovra_test_timeout test seconds)
  if(NOT seconds)
    set(seconds ${TOVRA_TEST_TIMEOUT})
  endif()
  math(EXPR seconds "${seconds} * ${TOVRA_TEST_TIMEOUT_SCALE}")
  set_tests_properties(${test} PROPERTIES TIMEOUT ${seconds})
endfunction()

set(TOVRA_TEST_ENV
  QT_QPA_PLATFORM=offscreen
  SDL_AUDIODRIVER=dummy
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp)

# tovra_add_test_dir(prefix LIBS ... [SLOW name seconds ...]): every test_*.cpp in the current
# folder becomes its own executable <prefix>_<name> and ctest test. Files whose name ends in
# "_tsan.cpp" are also built in the ThreadSanitizer build; the others are left out of it. SLOW
# gives the tests that need more than the default time-out their own, in pairs of the test's
# name (without prefix) and seconds.
function(tovra_add_test_dir prefix)
  cmake_parse_arguments(ARG "" "" "LIBS;SLOW" ${ARGN})
  list(LENGTH ARG_SLOW slowCount)
  math(EXPR slowOdd "${slowCount} % 2")
  if(slowOdd)
    message(FATAL_ERROR "tovra_add_test_dir(${prefix}): SLOW takes pairs of a name and seconds")
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  foreach(src ${tests})
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "^test_" "" stem ${stem})
    if(TOVRA_TSAN_ONLY AND NOT stem MATCHES "_tsan$")
      continue()
    endif()
    set(target ${prefix}_${stem})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE TOVRA_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${TOVRA_TEST_ENV}")
    list(FIND ARG_SLOW ${stem} at)
    set(seconds "")
    if(at GREATER_EQUAL 0)
      math(EXPR at "${at} + 1")
      list(GET ARG_SLOW ${at} seconds)
    endif()
    tovra_test_timeout(${target} "${seconds}")
  endforeach()
endfunction()

# tovra_add_fuzz(name SOURCE file LIBS ...): the target fuzz/<name>.cpp defines
# LLVMFuzzerTestOneInput. With TOVRA_FUZZ (clang) it is a libFuzzer binary; otherwise a replay
# program that feeds every file of fuzz/corpus/<name>/ to the target, run by ctest.
function(tovra_add_fuzz name)
  cmake_parse_arguments(ARG "" "SOURCE" "LIBS" ${ARGN})
  if(TOVRA_TSAN_ONLY)
    return()
  endif()
  set(target fuzz_${name})
  if(TOVRA_FUZZ)
    add_executable(${target} ${ARG_SOURCE})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${target} ${ARG_SOURCE} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    add_test(NAME ${target} COMMAND ${target} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${TOVRA_TEST_ENV}")
    tovra_test_timeout(${target} "")
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
endfunction()

# tovra_add_bench(name SOURCES... LIBS ...): a Google Benchmark program.
function(tovra_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# Compiles the library's English catalogues (translations/*_en.ts beside its CMakeLists) into its
# resources at ":/TovraTr/<name>_en.qm"; the editor loads every library catalogue of its language.
function(tovra_add_english_catalogues target)
  file(GLOB _ts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/translations/*_en.ts)
  if(_ts)
    qt_add_lrelease(${target} TS_FILES ${_ts} QM_FILES_OUTPUT_VARIABLE _qm)
    qt_add_resources(${target} ${target}_translations PREFIX /TovraTr
                     BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${_qm})
  endif()
endfunction()
