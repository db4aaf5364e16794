#!/usr/bin/env bash
# Runs the benchmarks under Wine on a private Xvfb display (about 5 minutes once built; --quick for
# a rough pass) and prints the figures; they are also saved to build/bench-results.txt.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target korvane_bench
# The 32-bit exe is weighed; its speed is the 64-bit one's (the benchmark itself runs x64).
cmake --preset mingw-x86 >/dev/null
cmake --build --preset mingw-x86
dir=$PWD/build/bench-wine
bash tools/wine-env.sh setup "$dir" >/dev/null
trap 'bash tools/wine-env.sh teardown "$dir"' EXIT
bash tools/wine-env.sh run "$dir" build/mingw/korvane_bench.exe "$@" | tee build/bench-results.txt
