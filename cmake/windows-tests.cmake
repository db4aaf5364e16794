# End-to-end tests: Windows test programs run under Wine in a throwaway prefix on an Xvfb display.
# The panel as it runs where Windows lacks the per-monitor DPI functions (7 and 8), and where it has
# only shcore's GetDpiForMonitor (8.1 and 10 before 1607): test builds only.
korvane_panel_build(korvane_dpi_fallback tests/variants/dpi_fallback_main_win.cpp)
korvane_panel_build(korvane_dpi_monitor tests/variants/dpi_monitor_main_win.cpp)
# The panel under the rules Windows keeps and Wine does not: no host call inside another thread's or
# program's send, and a message filter that is not told of posted messages. A test build only.
korvane_panel_build(korvane_strict tests/variants/strict_main_win.cpp)

if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(KORVANE_GTEST gtest)
elseif(TARGET GTest::gtest)
  set(KORVANE_GTEST GTest::gtest)
else()
  find_package(GTest)
  if(NOT GTest_FOUND)
    message(STATUS "GoogleTest not found: the end-to-end tests are not built")
    return()
  endif()
  set(KORVANE_GTEST GTest::gtest)
endif()

add_executable(korvane_e2e
  tests/e2e/close_test.cpp
  tests/e2e/commands_test.cpp
  tests/e2e/dll_search_test.cpp
  tests/e2e/e2e_icon.rc
  tests/e2e/e2e_main_win.cpp
  tests/e2e/faults_test.cpp
  tests/e2e/fit_test.cpp
  tests/e2e/hang_test.cpp
  tests/e2e/icon_test.cpp
  tests/e2e/layout_test.cpp
  tests/e2e/parity_test.cpp
  tests/e2e/poll_test.cpp
  tests/e2e/soak_test.cpp
  tests/e2e/startup_test.cpp
  tests/e2e/variant_test.cpp
  tests/e2e/window_loop_test.cpp)
target_compile_definitions(korvane_e2e PRIVATE ${KORVANE_WIN_DEFINES})
target_link_libraries(korvane_e2e PRIVATE korvane_window korvane_harness ${KORVANE_GTEST} version oleacc)
if(MINGW)
  target_link_options(korvane_e2e PRIVATE -municode -static)
endif()

# Planted beside a copy of the panel under the names of Windows' DLLs: it tells when it is loaded.
add_library(planted_marker SHARED tests/e2e/planted_marker_win.cpp)
set_target_properties(planted_marker PROPERTIES PREFIX "")
target_compile_definitions(planted_marker PRIVATE ${KORVANE_WIN_DEFINES})
if(MINGW)
  target_link_options(planted_marker PRIVATE -static)
endif()

add_dependencies(korvane_e2e korvane korvane_dpi_fallback korvane_dpi_monitor korvane_strict host_double planted_marker)

if(NOT KORVANE_RUN_TESTS)
  return()
endif()

# What runs again on the strict build: every close, the hangs, and the clicks.
set(KORVANE_STRICT_FILTER "*Closing*:HostHangs.*:Commands.*:SentClicks.*")

if(NOT CMAKE_CROSSCOMPILING)
  # On Windows itself the test programs run directly, with the host ProgID registered by hand.
  # The soak's thread and memory bounds are Wine's.
  add_test(NAME e2e COMMAND korvane_e2e --gtest_filter=-NotRegistered.*:Locale.*:Soak.*)
  add_test(NAME e2e_strict_windows_rules COMMAND korvane_e2e --gtest_filter=${KORVANE_STRICT_FILTER})
  set_property(TEST e2e_strict_windows_rules PROPERTY ENVIRONMENT "KORVANE_PANEL_EXE=korvane_strict.exe")
  return()
endif()

set(WINE_ENV ${CMAKE_SOURCE_DIR}/tools/wine-env.sh)
set(WINE_DIR ${CMAKE_BINARY_DIR}/wine-test)
set_target_properties(korvane_e2e PROPERTIES CROSSCOMPILING_EMULATOR "bash;${WINE_ENV};run;${WINE_DIR}")

add_test(NAME wine_prefix_setup COMMAND bash ${WINE_ENV} setup ${WINE_DIR})
add_test(NAME wine_prefix_teardown COMMAND bash ${WINE_ENV} teardown ${WINE_DIR})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_prefix_teardown PROPERTIES FIXTURES_CLEANUP wine)

# Each test program gets the prefix to itself: they share one registry and one display.
function(korvane_wine_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  # A filter that selects nothing must not pass as a green run.
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 600
    FAIL_REGULAR_EXPRESSION "Running 0 tests")
endfunction()

korvane_wine_test(e2e korvane_e2e --gtest_filter=-NotRegistered.*:Locale.*:Soak.*:LayoutFallback.*)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  korvane_wine_test(e2e_soak korvane_e2e --gtest_filter=Soak.*)
endif()
# The real pairing's other half: this panel against a host double of the other bitness, COM
# marshalling across the two (run-tests.sh names the 32-bit double where 32-bit code runs here).
set(KORVANE_OTHER_HOST_DOUBLE "" CACHE FILEPATH "A host double of the other bitness, for cross-bitness tests")
if(KORVANE_OTHER_HOST_DOUBLE)
  string(REPLACE "/" "\\" other_double_windows_path "Z:${KORVANE_OTHER_HOST_DOUBLE}")
  korvane_wine_test(e2e_other_bitness_host korvane_e2e
    --gtest_filter=Poll.*:Commands.*:HostGone.*:HostFails.*:HostBusy.*:HostSlow.*)
  set_property(TEST e2e_other_bitness_host PROPERTY ENVIRONMENT "KORVANE_HOST_DOUBLE=${other_double_windows_path}")
endif()
# x64 only, like the soak: what it checks does not depend on the bitness.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  korvane_wine_test(e2e_strict_windows_rules korvane_e2e --gtest_filter=${KORVANE_STRICT_FILTER})
  set_property(TEST e2e_strict_windows_rules PROPERTY ENVIRONMENT "KORVANE_PANEL_EXE=korvane_strict.exe")
endif()
korvane_wine_test(e2e_progid_unregistered
  bash ${WINE_ENV} unregistered ${WINE_DIR} $<TARGET_FILE:korvane_e2e> --gtest_filter=NotRegistered.*)
korvane_wine_test(e2e_german_locale
  bash ${WINE_ENV} locale ${WINE_DIR} de_DE.UTF-8 $<TARGET_FILE:korvane_e2e> --gtest_filter=Locale.*)
korvane_wine_test(e2e_layout_liberation_sans
  bash ${WINE_ENV} nofontlink ${WINE_DIR} $<TARGET_FILE:korvane_e2e> --gtest_filter=Layout.EveryText*)
korvane_wine_test(e2e_layout_fallback korvane_e2e --gtest_filter=LayoutFallback.*)
korvane_wine_test(e2e_layout_144dpi
  bash ${WINE_ENV} dpi ${WINE_DIR} 144 $<TARGET_FILE:korvane_e2e> --gtest_filter=Layout.*:LayoutFallback.*)
