#!/usr/bin/env bash
# Builds korvane.exe for x64 and x86 a second time, from a copy of this tree in another folder, packages
# that build too, and compares exes and zips with the first build's byte for byte.
#   check-reproducible.sh [X64_EXE X86_EXE PACKAGES_DIR]   (defaults: the tested exes, build/packages)
set -euo pipefail
cd "$(dirname "$0")/.."
x64=${1:-build/mingw/korvane.exe}
x86=${2:-build/mingw-x86/korvane.exe}
packages=${3:-build/packages}
again=$(mktemp -d /tmp/korvane-rebuild.XXXXXX)
trap 'rm -rf "$again"' EXIT
tree=$again/elsewhere/korvane
mkdir -p "$tree"
# The files git tracks or would track, as they stand in the working tree: what a clean checkout holds.
git ls-files -z --cached --others --exclude-standard |
  tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$tree" -xf -
for preset in mingw mingw-x86; do
  (cd "$tree" && cmake --preset "$preset" -DKORVANE_RUN_TESTS=OFF >/dev/null &&
    cmake --build --preset "$preset" --target korvane >/dev/null)
done
bad=0
same() {  # same WHAT FIRST SECOND
  if cmp -s "$2" "$3"; then
    echo "ok   $1 rebuilt in another folder is identical ($(stat -c %s "$2") bytes, sha256 $(sha256sum <"$2" | cut -c1-16)...)"
  else
    echo "FAIL $1 differs when rebuilt in another folder:"
    cmp -l "$2" "$3" | head -n 8
    bad=1
  fi
}
same "korvane.exe x64" "$x64" "$tree/build/mingw/korvane.exe"
same "korvane.exe x86" "$x86" "$tree/build/mingw-x86/korvane.exe"
bash tools/package.sh "$tree/build/mingw/korvane.exe" "$tree/build/mingw-x86/korvane.exe" "$again/packages" >/dev/null
for file in "$packages"/korvane-*.zip "$packages/SHA256SUMS"; do
  same "$(basename "$file")" "$file" "$again/packages/$(basename "$file")"
done
exit $bad
