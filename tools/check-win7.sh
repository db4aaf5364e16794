#!/usr/bin/env bash
# Fails when the exe imports a Windows function that Windows 7 SP1 does not have: every imported name
# (the C runtime, msvcrt, aside; Windows 7 has it) must compile against the SDK headers at 0x0601.
#   check-win7.sh EXE OBJDUMP CC
set -euo pipefail
exe=${1:?exe}
objdump=${2:?objdump}
cc=${3:?C compiler}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One "dll name" line per imported function.
"$objdump" -p "$exe" | awk '
  /DLL Name:/ { dll = tolower($3); next }
  /^\s*$/ { dll = "" }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && NF == 3 { print dll, $3 }' >"$work/imports"
[ -s "$work/imports" ] || { echo "no imports read from $exe" >&2; exit 1; }

probe() {  # probe FILE NAME...: a C file that takes the address of every NAME
  {
    echo '#include <windows.h>'
    echo '#include <objbase.h>'
    echo '#include <oleauto.h>'
    echo 'void *const probe[] = {'
    for name in "${@:2}"; do echo "  (void *)&$name,"; done
    echo '};'
  } >"$1"
}
compile() { LC_ALL=C "$cc" -x c -std=c11 -DUNICODE -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -c -o /dev/null "$1" 2>&1; }

# The probe has teeth: a function from Windows 10 does not compile at 0x0601.
probe "$work/teeth.c" GetDpiForWindow
if compile "$work/teeth.c" >/dev/null; then
  echo "FAIL the headers declare GetDpiForWindow at 0x0601: this probe cannot tell" >&2
  exit 1
fi

mapfile -t names < <(awk '$1 != "msvcrt.dll" { print $2 }' "$work/imports" | sort -u)
probe "$work/probe.c" "${names[@]}"
if errors=$(compile "$work/probe.c"); then
  echo "ok   all ${#names[@]} imported Windows functions exist on Windows 7 SP1 ($(awk '$1 == "msvcrt.dll"' "$work/imports" | wc -l) from msvcrt)"
  exit 0
fi
missing=$(echo "$errors" | sed -nE "s/.*'([A-Za-z0-9_]+)' undeclared.*/\1/p" | sort -u)
if [ -n "$missing" ]; then
  echo "$missing" | sed 's/^/FAIL not on Windows 7 SP1: /'
else
  echo "$errors"
fi
exit 1
