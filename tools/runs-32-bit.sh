#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 code: a tiny i386 ELF, built with `as --32`, must run and
# exit with the status it was written to give. Prints why not otherwise. Needs binutils only.
set -uo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat >"$dir/probe.s" <<'EOF'
.globl _start
_start:
  movl $1, %eax
  movl $42, %ebx
  int $0x80
EOF
if ! as --32 "$dir/probe.s" -o "$dir/probe.o" 2>"$dir/err" || ! ld -m elf_i386 "$dir/probe.o" -o "$dir/probe" 2>>"$dir/err"; then
  echo "32-bit probe: could not build ($(head -c 200 "$dir/err"))" >&2
  exit 1
fi
"$dir/probe" 2>/dev/null
status=$?
if [ $status -ne 42 ]; then
  echo "32-bit probe: this machine cannot execute 32-bit code (exit $status)" >&2
  exit 1
fi
exit 0
