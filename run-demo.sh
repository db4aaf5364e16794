#!/usr/bin/env bash
# Runs the panel attached to the host double in its demo mode. On your X display when there is one
# (close the panel to end); otherwise under Xvfb for a few seconds, saving a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target korvane host_double

dir=$PWD/build/demo
env_sh=$PWD/tools/wine-env.sh
bash "$env_sh" setup "$dir" "${DISPLAY:-}" >/dev/null
# The host double's log of calls outlives the throwaway prefix, next to the screenshot.
log_kept=$PWD/build/screenshots/host.log
mkdir -p build/screenshots
trap 'cp -f "$dir/host.log" "$log_kept" 2>/dev/null; bash "$env_sh" teardown "$dir"' EXIT
printf 'demo\n' >"$dir/demo-script.txt"
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
bash "$env_sh" run "$dir" build/mingw/host_double.exe --script "$(winpath "$dir/demo-script.txt")" \
  --log "$(winpath "$dir/host.log")" &
for _ in $(seq 100); do grep -q registered "$dir/host.log" 2>/dev/null && break; sleep 0.1; done

if [ -n "${DISPLAY:-}" ]; then
  echo "Korvane is running, attached to the host double; close the panel to end."
  echo "The host double's log of calls will be in $log_kept."
  bash "$env_sh" run "$dir" build/mingw/korvane.exe
else
  bash "$env_sh" run "$dir" build/mingw/korvane.exe &
  sleep 6
  shot=$PWD/build/screenshots/korvane-demo.png
  DISPLAY=$(cat "$dir/display") import -window root -crop 300x130+0+0 "$shot"
  echo "screenshot: $shot"
  echo "host double's log of calls: $log_kept (last lines below)"
  tail -n 6 "$dir/host.log"
fi
