#!/usr/bin/env bash
# Builds the operator's downloads from the two tested exes, into build/packages:
# korvane-VERSION-x64.zip and korvane-VERSION-x86.zip (korvane.exe and README.txt each) and
# SHA256SUMS over both. The zips are reproducible: fixed entry order, times and modes, no extra fields.
#   package.sh [X64_EXE X86_EXE [OUT_DIR]]
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -nE 's/^project\(korvane VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
x64=${1:-build/mingw/korvane.exe}
x86=${2:-build/mingw-x86/korvane.exe}
out=${3:-build/packages}
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/korvane-*.zip "$out/SHA256SUMS"
# Every entry carries the release's date (or SOURCE_DATE_EPOCH's), whenever it is built.
stamp=@${SOURCE_DATE_EPOCH:-$(date -u -d '2026-12-08 00:00:00' +%s)}
for arch in x64 x86; do
  exe=$x64
  [ "$arch" = x86 ] && exe=$x86
  [ -f "$exe" ] || { echo "no $exe: build the mingw and mingw-x86 presets first" >&2; exit 1; }
  stage=$(mktemp -d)
  cp "$exe" "$stage/korvane.exe"
  sed 's/$/\r/' docs/README.txt >"$stage/README.txt"  # Notepad on Windows 7 wants CRLF
  chmod 644 "$stage/korvane.exe" "$stage/README.txt"
  touch -d "$stamp" "$stage/korvane.exe" "$stage/README.txt"
  (cd "$stage" && TZ=UTC zip -X -D -q -9 "$out/korvane-$version-$arch.zip" korvane.exe README.txt)
  rm -rf "$stage"
done
(cd "$out" && sha256sum "korvane-$version-x64.zip" "korvane-$version-x86.zip" >SHA256SUMS)
echo "packages in $out:"
(cd "$out" && ls -l korvane-*.zip SHA256SUMS && cat SHA256SUMS)
