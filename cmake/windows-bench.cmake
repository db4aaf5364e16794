# The benchmark program and its start-up baseline (run with run-bench.sh).
add_executable(minimal_window WIN32 tools/bench/minimal_window_win.cpp tools/bench/minimal_window.rc)
target_compile_definitions(minimal_window PRIVATE ${KORVANE_WIN_DEFINES})
target_link_libraries(minimal_window PRIVATE ole32 oleaut32 uuid)

add_executable(korvane_bench tools/bench/bench_win.cpp)
target_link_libraries(korvane_bench PRIVATE korvane_window korvane_harness)
if(MINGW)
  target_link_options(minimal_window PRIVATE -municode -static)
  target_link_options(korvane_bench PRIVATE -municode -static)
endif()
add_dependencies(korvane_bench korvane host_double minimal_window)
