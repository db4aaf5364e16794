#!/usr/bin/env bash
# The code's form and a static analysis, every run: clang-format over every C++ source, and
# clang-tidy (.clang-tidy) over the portable core and its unit tests, with the compile commands
# of the linux build in BUILD_DIR.
#   check-code.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory with compile_commands.json}
mapfile -t sources < <(find src tests tools -name '*.cpp' -o -name '*.h' | sort)
echo "clang-format: ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

# Dependencies point one way: host/ <- monitor/ <- panel/ <- main.
upward=$(grep -rnE '#include "(monitor|panel)/' src/host; grep -rn '#include "panel/' src/monitor) || true
if [ -n "$upward" ]; then
  echo "includes against the direction host/ <- monitor/ <- panel/:"
  echo "$upward"
  exit 1
fi
echo "include direction: host/ <- monitor/ <- panel/"

# What is tested is what ships: no test or benchmark switch in the panel's sources. Other builds of
# the panel differ in their own entries only (cmake/windows.cmake's korvane_panel_build).
switches=$(grep -rnE '^\s*#\s*(if|ifdef|ifndef|elif)\b.*KORVANE_' src) || true
if [ -n "$switches" ]; then
  echo "build switches in src/:"
  echo "$switches"
  exit 1
fi
echo "build switches in src/: none"

# Windows' DLLs come from System32 only: one place in src/ loads a DLL, and it names System32.
loads=$(grep -rnE '\bLoadLibrary(Ex)?[AW]?\(' src | grep -v '^src/panel/system_library_win.cpp:') || true
if [ -n "$loads" ]; then
  echo "DLLs loaded other than through LoadSystemLibrary:"
  echo "$loads"
  exit 1
fi
echo "DLL loads: through LoadSystemLibrary only"

# The portable core: everything but the Windows files and the entry point.
mapfile -t core < <(find src tests/unit -name '*.cpp' ! -name '*_win.cpp' ! -name 'main.cpp' | sort)
echo "clang-tidy: ${#core[@]} files"
log=$(mktemp)
status=0
printf '%s\n' "${core[@]}" | xargs -P "$(nproc)" -n 2 clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
grep -E '(warning|error): ' "$log" || true
rm -f "$log"
[ $status -eq 0 ] && echo "clang-format and clang-tidy: clean"
exit $status
