#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests (plain and under ASan+UBSan), a libFuzzer
# run of about a minute, then korvane.exe cross-built and its end-to-end tests under Wine on a
# private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")"
start=$(date +%s)
bash tools/install-deps.sh

summary=()
run_preset() {
  local preset=$1
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  local log
  log=$(mktemp)
  local status=0
  ctest --preset "$preset" 2>&1 | tee "$log" || status=$?
  summary+=("$preset: $(grep -E 'tests passed|tests failed' "$log" | tail -n 1)")
  rm -f "$log"
  return $status
}

status=0
run_preset linux || status=1
run_preset linux-asan || status=1
run_preset fuzz || status=1
run_preset mingw-x86 || status=1
run_preset mingw || status=1

echo
echo "=== summary ($(($(date +%s) - start)) s)"
printf '%s\n' "${summary[@]}"
exit $status
