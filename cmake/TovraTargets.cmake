# Helpers shared by every folder: shared libraries named as their deliverable, test executables
# one per test file, fuzz targets that double as corpus-replaying regression tests.

# tovra_add_library(libName SOURCES... LIBS ...): libName.so in the bundle's lib/.
function(tovra_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# tovra_add_program(Name SOURCES... LIBS ...): a program in the bundle's bin/.
function(tovra_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOVRA_BIN_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

set(TOVRA_TEST_ENV
  QT_QPA_PLATFORM=offscreen
  SDL_AUDIODRIVER=dummy
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp)

# tovra_add_test_dir(prefix LIBS ...): every test_*.cpp in the current folder becomes its own
# executable <prefix>_<name> and ctest test. Files whose name ends in "_tsan.cpp" are also built
# in the ThreadSanitizer build; the others are left out of it.
function(tovra_add_test_dir prefix)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
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
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${TOVRA_TEST_ENV}" TIMEOUT 600)
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
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
endfunction()

# tovra_add_bench(name SOURCES... LIBS ...): a Google Benchmark program.
function(tovra_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
