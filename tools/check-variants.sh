#!/usr/bin/env bash
# Every other build of the panel (the tests' and the benchmark's) links korvane.exe's own libraries,
# as korvane.exe links them, and adds nothing but an entry of its own and the panel's resources.
#   check-variants.sh BUILD_DIR    (a Ninja build of a Windows preset)
set -euo pipefail
ninja_file=${1:?build directory}/build.ninja
libraries_of() {
  awk -v rule="build $1:" 'index($0, rule) == 1 { found = 1; next }
    found && /^  LINK_LIBRARIES = / { sub(/^  LINK_LIBRARIES = /, ""); print; exit }' "$ninja_file"
}
inputs_of() { grep -m1 "^build $1:" "$ninja_file" | sed -E 's/^build [^:]+: [^ ]+ //; s/ \|.*//'; }

shipped=$(libraries_of korvane.exe)
[ -n "$shipped" ] || { echo "no korvane.exe in $ninja_file"; exit 1; }
mapfile -t others < <(grep -E '^build [a-z_0-9]+\.exe: .*\| .*libkorvane_entry\.a' "$ninja_file" |
  sed -E 's/^build ([^:]+):.*/\1/' | grep -vx korvane.exe | sort)
status=0
if [ "${#others[@]}" -lt 6 ]; then
  echo "only ${#others[@]} other panel builds found (${others[*]}); the tests and the benchmark have 6"
  status=1
fi
for exe in "${others[@]}"; do
  libraries=$(libraries_of "$exe")
  read -ra inputs <<<"$(inputs_of "$exe")"
  if [ "$libraries" != "$shipped" ]; then
    echo "$exe links: $libraries"
    echo "korvane.exe links: $shipped"
    status=1
  fi
  if [ "${#inputs[@]}" -ne 2 ] || [[ ${inputs[0]} != *_main_win.cpp.obj ]] || [[ ${inputs[1]} != */src/korvane.rc.res ]]; then
    echo "$exe is built from ${inputs[*]}: more than an entry of its own and the panel's resources"
    status=1
  fi
done
[ $status -eq 0 ] && echo "${#others[@]} other panel builds (${others[*]}): korvane.exe's libraries, an entry each, the panel's resources"
exit $status
