# The benchmark program, its floor, and panel builds that each leave one of the panel's own additions
# out (run with run-bench.sh).
add_executable(minimal_window WIN32 tools/bench/minimal_window_win.cpp tools/bench/minimal_window.rc)
target_compile_definitions(minimal_window PRIVATE ${KORVANE_WIN_DEFINES})
target_link_libraries(minimal_window PRIVATE korvane_core ole32 oleaut32 uuid)
korvane_own_manifest(minimal_window)

set(KORVANE_BENCH_VARIANTS korvane_without_call_watch korvane_without_font_fit korvane_without_icons)
foreach(variant IN LISTS KORVANE_BENCH_VARIANTS)
  string(REPLACE "korvane_" "" entry ${variant})
  korvane_panel_build(${variant} tools/bench/${entry}_main_win.cpp)
endforeach()

add_executable(korvane_bench tools/bench/bench_win.cpp)
target_link_libraries(korvane_bench PRIVATE korvane_window korvane_harness)
if(MINGW)
  target_link_options(minimal_window PRIVATE -municode -static)
  target_link_options(korvane_bench PRIVATE -municode -static)
endif()
add_dependencies(korvane_bench korvane host_double minimal_window ${KORVANE_BENCH_VARIANTS})
