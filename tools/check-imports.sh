#!/usr/bin/env bash
# Fails unless the exe imports only KnownDLLs: DLLs that Windows, from 7 SP1 on, maps from System32
# whatever folder the exe runs from, so that none of them can be planted beside it. (Windows 7's
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs, the ones a panel could use; comctl32
# and version, say, are not among them.)
set -euo pipefail
exe=${1:?exe}
objdump=${2:-x86_64-w64-mingw32-objdump}
allowed='^(kernel32|user32|gdi32|ole32|oleaut32|msvcrt|advapi32|shell32|shlwapi|rpcrt4|comdlg32|imm32|psapi|usp10|ws2_32)\.dll$'
mapfile -t dlls < <("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ ${#dlls[@]} -gt 0 ] || { echo "no imports read from $exe" >&2; exit 1; }
bad=0
for dll in "${dlls[@]}"; do
  if [[ $dll =~ $allowed ]]; then echo "ok   $dll"; else echo "FAIL $dll is not a KnownDLL"; bad=1; fi
done
exit $bad
