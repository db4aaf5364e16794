#!/usr/bin/env bash
# Runs the end-to-end tests that a GoogleTest filter selects, under Wine on a private Xvfb display,
# in a throwaway prefix of their own; builds what they need first where it is missing or stale.
#   tools/run-e2e.sh FILTER [PRESET]    PRESET: mingw (the default) or mingw-x86 (needs wine32:i386)
# The run's output and the host doubles' logs stay in build/PRESET/e2e-logs/, which it prints.
# Exits with the tests' status; a filter that selects no test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
filter=${1:?usage: tools/run-e2e.sh FILTER [mingw|mingw-x86]}
preset=${2:-mingw}
case $preset in
  mingw | mingw-x86) ;;
  *) echo "unknown preset $preset: mingw or mingw-x86" >&2; exit 2 ;;
esac
for tool in wine Xvfb ninja x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run tools/install-deps.sh (as root) first" >&2; exit 2; }
done

build=build/$preset
# A build folder configured before keeps its options; a new one runs no Wine tests under ctest.
[ -f "$build/build.ninja" ] || cmake --preset "$preset" -DKORVANE_RUN_TESTS=OFF >/dev/null
cmake --build --preset "$preset" --target korvane_e2e

logs=$PWD/$build/e2e-logs
rm -rf "$logs"
mkdir -p "$logs"
dir=$PWD/$build/wine-one
bash tools/wine-env.sh setup "$dir" >/dev/null
trap 'bash tools/wine-env.sh teardown "$dir"' EXIT
status=0
KORVANE_LOG_DIR="Z:${logs//\//\\}" bash tools/wine-env.sh run "$dir" "$build/korvane_e2e.exe" \
  --gtest_filter="$filter" | tee "$logs/e2e.log" || status=$?
echo "logs: $logs"
if grep -q '^\[==========\] Running 0 tests' "$logs/e2e.log"; then
  echo "no test matches the filter '$filter'" >&2
  exit 1
fi
exit $status
