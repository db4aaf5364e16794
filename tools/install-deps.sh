#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the demo and the tests need, when any is missing; then,
# each on its own, node and npm (for the workflow lint) where they are not there, and Wine's 32-bit half
# where this machine can run 32-bit code (tools/runs-32-bit.sh says whether).
# Both are optional: when one cannot be had, the run goes on. Each outcome is written, one line:
#   $KORVANE_NODE_STATUS (build/node-status): present | installed | not-installed: <apt's first error line>
#   $KORVANE_WINE32_STATUS (build/wine32-status): installed | no-32-bit-code | not-installed: <apt's first error line>
# Nothing of a 32-bit half that could not be installed is left behind. Run by another user than root,
# it installs nothing: it fails when a required package is missing, and leaves the optional ones out.
# An index that fails to download is retried, then left out; a required package that still cannot be
# installed ends the run with apt's own message.
set -euo pipefail
cd "$(dirname "$0")/.."
status_file=${KORVANE_WINE32_STATUS:-build/wine32-status}
node_status_file=${KORVANE_NODE_STATUS:-build/node-status}
retry_delay=${KORVANE_APT_RETRY_DELAY:-10}
probe_32_bit=${KORVANE_PROBE_32_BIT:-tools/runs-32-bit.sh}
as_root=${KORVANE_AS_ROOT:-$([ "$(id -u)" -eq 0 ] && echo yes || echo no)}
readonly not_root="not run as root (run tools/install-deps.sh as root once)"
export DEBIAN_FRONTEND=noninteractive

# Wine's fonts are recommended packages, which --no-install-recommends skips; operators have them.
required=(cmake ninja-build g++ libgtest-dev mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 fonts-wine fonts-liberation xvfb xauth imagemagick clang clang-format clang-tidy libclang-rt-14-dev
  locales zip unzip binutils)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

# A mirror in the middle of a sync serves an index that does not match its release file, for a while:
# three tries, then the lists that did arrive are used.
apt_update() {
  local try
  for try in 1 2 3; do
    apt-get update -qq && return 0
    if [ "$try" -lt 3 ]; then
      echo "apt-get update failed (try $try of 3); again in ${retry_delay} s" >&2
      sleep "$retry_delay"
    fi
  done
  echo "apt-get update failed 3 times; going on with the package lists that did arrive" >&2
  return 0
}

missing=()
for p in "${required[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ] && [ "$as_root" != yes ]; then
  echo "missing: ${missing[*]}; $not_root" >&2
  exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_update
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# apt-get install's first error line, or its first line at all.
first_error() { grep -m 1 '^E: ' "$1" || grep -m 1 . "$1" || echo "apt-get install failed"; }

# node and npm may come from elsewhere than Debian (nodesource's nodejs carries npm), so the commands
# decide; KORVANE_NODE_PRESENT=yes|no stands in for them in the installer's own test.
node_present() {
  case ${KORVANE_NODE_PRESENT:-} in
    yes) return 0 ;;
    no) return 1 ;;
    *) command -v node >/dev/null && command -v npm >/dev/null ;;
  esac
}
mkdir -p "$(dirname "$node_status_file")"
if node_present; then
  echo "present" >"$node_status_file"
elif [ "$as_root" != yes ]; then
  echo "not-installed: $not_root" >"$node_status_file"
else
  echo "installing (optional): nodejs npm"
  [ ${#missing[@]} -gt 0 ] || apt_update
  log=$(mktemp)
  if apt-get install -y -qq --no-install-recommends nodejs npm >"$log" 2>&1; then
    echo "installed" >"$node_status_file"
  else
    reason=$(first_error "$log")
    echo "node and npm could not be installed: $reason" >&2
    echo "not-installed: $reason" >"$node_status_file"
  fi
  rm -f "$log"
fi

mkdir -p "$(dirname "$status_file")"
if ! bash "$probe_32_bit"; then
  echo "no-32-bit-code" >"$status_file"
  exit 0
fi
if installed wine32:i386; then
  echo "installed" >"$status_file"
  exit 0
fi
if [ "$as_root" != yes ]; then
  echo "not-installed: $not_root" >"$status_file"
  exit 0
fi
echo "installing (optional): wine32:i386"
added_i386=false
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  added_i386=true
fi
apt_update
log=$(mktemp)
if apt-get install -y -qq --no-install-recommends wine32:i386 >"$log" 2>&1; then
  echo "installed" >"$status_file"
  rm -f "$log"
  exit 0
fi
reason=$(first_error "$log")
rm -f "$log"
echo "wine32:i386 could not be installed: $reason" >&2
# Leave the machine as it was: an i386 architecture this run added, with nothing of it installed, goes again.
if $added_i386 && ! dpkg-query -W -f='${Architecture} ${Status}\n' 2>/dev/null | grep -v ' not-installed$' | grep -q '^i386 '; then
  dpkg --remove-architecture i386
  echo "removed the i386 architecture again" >&2
fi
echo "not-installed: $reason" >"$status_file"
exit 0
