#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the demo and the tests need, when any is missing, and
# Wine's 32-bit half where this machine can run 32-bit code (tools/runs-32-bit.sh says whether).
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine's fonts are recommended packages, which --no-install-recommends skips; operators have them.
packages=(cmake ninja-build g++ libgtest-dev mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 fonts-wine fonts-liberation xvfb xauth imagemagick clang clang-format clang-tidy libclang-rt-14-dev
  locales zip unzip binutils)
if bash tools/runs-32-bit.sh; then
  packages+=(wine32:i386)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
