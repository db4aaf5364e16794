#!/usr/bin/env bash
# Checks the packages package.sh built: each zip holds exactly korvane.exe and README.txt, the exe
# is the one the tests ran (byte for byte) and at most 256 KB, and SHA256SUMS verifies.
#   check-packages.sh [X64_EXE X86_EXE]
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -nE 's/^project\(korvane VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
x64=${1:-build/mingw/korvane.exe}
x86=${2:-build/mingw-x86/korvane.exe}
out=build/packages
bad=0
fail() { echo "FAIL $*"; bad=1; }
for arch in x64 x86; do
  exe=$x64
  [ "$arch" = x86 ] && exe=$x86
  zip=$out/korvane-$version-$arch.zip
  [ -f "$zip" ] || { fail "$zip missing"; continue; }
  listing=$(unzip -Z1 "$zip" | sort | paste -sd' ')
  [ "$listing" = "README.txt korvane.exe" ] || fail "$zip holds: $listing"
  unzip -p "$zip" korvane.exe | cmp -s - "$exe" || fail "$zip: korvane.exe is not the tested $exe"
  unzip -p "$zip" README.txt | grep -q "MixW2 is not loaded" || fail "$zip: README.txt is not the operator's page"
  size=$(unzip -Zl "$zip" korvane.exe | awk '{print $4}')
  [ "$size" -le 262144 ] || fail "$zip: korvane.exe is $size bytes, over 256 KB"
  echo "ok   $zip: $listing; korvane.exe $size bytes, identical to $exe"
done
(cd "$out" && sha256sum -c SHA256SUMS) || fail "SHA256SUMS does not verify"
exit $bad
