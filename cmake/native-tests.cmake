# Native unit tests of the portable core, and the fuzz target when clang builds it.
if(KORVANE_FUZZ)
  # Random host answers for a bounded time; a finding fails the test.
  add_executable(korvane_fuzz tests/fuzz/poll_fuzz.cpp)
  target_link_libraries(korvane_fuzz PRIVATE korvane_core)
  target_link_options(korvane_fuzz PRIVATE -fsanitize=fuzzer)
  set(KORVANE_FUZZ_SECONDS 60 CACHE STRING "How long the fuzz test runs")
  add_test(NAME fuzz_poll_and_number_text
    COMMAND korvane_fuzz -max_total_time=${KORVANE_FUZZ_SECONDS} -seed=1 -print_final_stats=1)
  set_tests_properties(fuzz_poll_and_number_text PROPERTIES TIMEOUT 300)
  return()
endif()

if(NOT TARGET GTest::gtest)
  if(MSVC)
    # Visual Studio builds the exes without GoogleTest; the tests come with it (KORVANE_FETCH_GTEST).
    find_package(GTest)
    if(NOT GTest_FOUND)
      message(STATUS "GoogleTest not found: the unit tests are not built")
      return()
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
include(GoogleTest)

add_executable(korvane_unit_tests
  tests/unit/commands_test.cpp
  tests/unit/controls_test.cpp
  tests/unit/failure_test.cpp
  tests/unit/font_fit_test.cpp
  tests/unit/hang_test.cpp
  tests/unit/link_test.cpp
  tests/unit/number_text_test.cpp
  tests/unit/poll_test.cpp)
target_link_libraries(korvane_unit_tests PRIVATE korvane_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(korvane_unit_tests)

# The Debian installer's decisions, against stand-in package tools (on Linux, and not again under the sanitizers).
if(NOT KORVANE_SANITIZE AND NOT WIN32)
  add_test(NAME install_deps_decisions COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/install_deps_test.sh)
endif()
