# Native unit tests of the portable core, and the fuzz target when clang builds it.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(korvane_unit_tests
  tests/unit/commands_test.cpp
  tests/unit/controls_test.cpp
  tests/unit/failure_test.cpp
  tests/unit/link_test.cpp
  tests/unit/number_text_test.cpp
  tests/unit/poll_test.cpp)
target_link_libraries(korvane_unit_tests PRIVATE korvane_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(korvane_unit_tests)
