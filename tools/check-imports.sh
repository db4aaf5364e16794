#!/usr/bin/env bash
# Fails unless the exe imports only DLLs that every Windows installation has.
set -euo pipefail
exe=${1:?exe}
objdump=${2:-x86_64-w64-mingw32-objdump}
allowed='^(kernel32|user32|gdi32|ole32|oleaut32|msvcrt|advapi32|comctl32|version|shell32)\.dll$'
mapfile -t dlls < <("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ ${#dlls[@]} -gt 0 ] || { echo "no imports read from $exe" >&2; exit 1; }
bad=0
for dll in "${dlls[@]}"; do
  if [[ $dll =~ $allowed ]]; then echo "ok   $dll"; else echo "FAIL $dll is not a Windows DLL"; bad=1; fi
done
exit $bad
