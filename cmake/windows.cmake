# korvane.exe and the libraries every build of the panel links, and the checks of the exe itself.
enable_language(RC)

# Windows 7 SP1 is the floor: calling anything newer is a compile error; newer functions are looked up at run time.
set(KORVANE_WIN_DEFINES UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
if(MINGW)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-include$<SEMICOLON>${CMAKE_SOURCE_DIR}/cmake/windows-sdk-macros.h>)
endif()

# The COM binding, also linked into the soak and benchmark programs.
add_library(korvane_binding STATIC src/host/call_watch_win.cpp src/host/com_host_win.cpp src/host/message_filter_win.cpp
  src/host/message_pump_win.cpp src/host/window_close_win.cpp)
target_compile_definitions(korvane_binding PUBLIC ${KORVANE_WIN_DEFINES})
target_link_libraries(korvane_binding PUBLIC korvane_core ole32 oleaut32 uuid)

# The panel window, also driven directly by the benchmark.
add_library(korvane_window STATIC src/panel/dpi_win.cpp src/panel/form1_layout_win.cpp src/panel/form1_win.cpp
  src/panel/system_library_win.cpp)
target_link_libraries(korvane_window PUBLIC korvane_binding)

# Small, not fast: the panel spends its time waiting for the host.
if(MINGW)
  foreach(target korvane_core korvane_binding korvane_window)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os -ffunction-sections -fdata-sections>)
  endforeach()
endif()

# A target whose resources carry its own manifest: MSVC's linker would embed a second one.
function(korvane_own_manifest target)
  if(MSVC)
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()

# The program from its entry on, which korvane.exe and every other build of the panel run, and the
# panel's objects, which the in-process tests and the benchmark make through it too.
add_library(korvane_entry STATIC src/panel_program_win.cpp src/run_panel_win.cpp)
target_link_libraries(korvane_entry PUBLIC korvane_window)
if(MINGW)
  target_compile_options(korvane_entry PRIVATE $<$<CONFIG:Release>:-Os -ffunction-sections -fdata-sections>)
endif()

# The resources are built again when the icon or the manifest changes (a property of the folder
# whose targets use them).
macro(korvane_resources_depend_on_icon)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/korvane.rc PROPERTIES
    OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/src/korvane.ico;${PROJECT_SOURCE_DIR}/src/korvane.manifest")
endmacro()

# Another build of the panel, for a test or a benchmark: korvane.exe's own libraries and resources,
# and an entry of its own that hands the panel something else.
#   korvane_panel_build(TARGET ENTRY_SOURCE)
function(korvane_panel_build target entry)
  korvane_resources_depend_on_icon()
  add_executable(${target} WIN32 ${entry} ${PROJECT_SOURCE_DIR}/src/korvane.rc)
  target_link_libraries(${target} PRIVATE korvane_entry)
  korvane_own_manifest(${target})
  if(MINGW)
    target_link_options(${target} PRIVATE -municode -static $<$<CONFIG:Release,MinSizeRel>:-s -Wl,--gc-sections>)
  endif()
endfunction()

korvane_resources_depend_on_icon()
add_executable(korvane WIN32
  src/main.cpp
  src/korvane.rc)
target_link_libraries(korvane PRIVATE korvane_entry)
korvane_own_manifest(korvane)
if(MINGW)
  # One self-contained exe: the C++ runtime, libgcc and winpthread are linked in. No link time in the
  # PE header, so that the same sources give the same exe byte for byte (tools/check-reproducible.sh).
  target_link_options(korvane PRIVATE -municode -static -Wl,--no-insert-timestamp
    $<$<CONFIG:Release,MinSizeRel>:-s -Wl,--gc-sections>)
endif()

if(CMAKE_CROSSCOMPILING)
  # The exe itself, in every build: only DLLs every Windows has, only functions Windows 7 SP1 has.
  add_test(NAME korvane_imports
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-imports.sh $<TARGET_FILE:korvane> ${KORVANE_OBJDUMP})
  add_test(NAME korvane_windows7
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-win7.sh $<TARGET_FILE:korvane> ${KORVANE_OBJDUMP} ${CMAKE_C_COMPILER})
endif()

