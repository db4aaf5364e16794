#!/usr/bin/env bash
# tools/install-deps.sh's decisions, against stand-ins for apt-get, dpkg and dpkg-query on PATH that fail
# the way a mirror in mid-sync does (an i386 index of the wrong size, then wine32:i386 unresolvable).
# Nothing here touches the machine's own package database.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
# -W -f=FORMAT [PACKAGE]: the status of one package, or every package's architecture and status.
format=${2#-f=}
if [ $# -ge 3 ]; then
  grep -qxF "$3" "$STATE/installed" || { echo "dpkg-query: no packages found matching $3" >&2; exit 1; }
  echo -n "install ok installed"
  exit 0
fi
while read -r p; do
  case $p in *:i386) echo "i386 install ok installed" ;; *) echo "amd64 install ok installed" ;; esac
done <"$STATE/installed"
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case $1 in
  --print-foreign-architectures) cat "$STATE/archs" ;;
  --add-architecture) echo "$2" >>"$STATE/archs" ;;
  --remove-architecture)
    if grep -q ":$2\$" "$STATE/installed"; then echo "dpkg: error: cannot remove architecture '$2'" >&2; exit 2; fi
    grep -vx "$2" "$STATE/archs" >"$STATE/archs.new"; mv "$STATE/archs.new" "$STATE/archs" ;;
esac
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
if [ "$1" = update ]; then
  if { grep -qx i386 "$STATE/archs" && [ "$I386_INDEX" = broken ]; } || [ "$EVERY_INDEX" = broken ]; then
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
  fi
  exit 0
fi
shift
packages=()
for p in "$@"; do [[ $p == -* ]] || packages+=("$p"); done
for p in "${packages[@]}"; do
  if [ "$p" = "$UNINSTALLABLE" ] || { [[ $p == *:i386 ]] && ! grep -qx i386 "$STATE/archs"; }; then
    echo "E: Unable to locate package $p" >&2
    exit 100
  fi
  if [ "$p" = wine32:i386 ] && [ "$WINE32" = breaks ]; then
    echo "Some packages could not be installed."
    echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2
    exit 100
  fi
done
printf '%s\n' "${packages[@]}" >>"$STATE/installed"
FAKE
printf '#!/usr/bin/env bash\nexit "$RUNS_32_BIT"\n' >"$work/probe.sh"
chmod +x "$work/bin/"*

# scenario NAME [VAR=VALUE...]: a fresh stand-in machine, then install-deps.sh run on it.
scenario() {
  name=$1
  shift
  export STATE=$work/$name
  mkdir -p "$STATE"
  : >"$STATE/installed"
  : >"$STATE/archs"
  : >"$STATE/calls"
  (
    export I386_INDEX=ok EVERY_INDEX=ok WINE32=ok UNINSTALLABLE=none RUNS_32_BIT=0 PRESENT= KORVANE_NODE_PRESENT=yes \
      KORVANE_AS_ROOT=yes
    for setting in "$@"; do export "${setting?}"; done
    for p in $PRESENT; do echo "$p" >>"$STATE/installed"; done
    [ "${I386_BEFORE:-}" = yes ] && echo i386 >>"$STATE/archs"
    PATH=$work/bin:$PATH KORVANE_APT_RETRY_DELAY=0 KORVANE_PROBE_32_BIT=$work/probe.sh \
      KORVANE_WINE32_STATUS=$STATE/status KORVANE_NODE_STATUS=$STATE/node-status bash "$root/tools/install-deps.sh" >"$STATE/out" 2>&1
  )
  code=$?
}
check() {  # check WHAT CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok   $name: $what"; else echo "FAIL $name: $what"; failures=$((failures + 1)); fi
}
status_is() { [ "$(cat "$STATE/status" 2>/dev/null)" = "$1" ]; }
node_status_is() { [ "$(cat "$STATE/node-status" 2>/dev/null)" = "$1" ]; }
has() { grep -qxF "$1" "$STATE/installed"; }
updates() { [ "$(grep -c '^apt-get update' "$STATE/calls")" -eq "$1" ]; }
archs_are() { [ "$(paste -sd' ' "$STATE/archs")" = "$1" ]; }

scenario mirror-in-sync I386_INDEX=broken WINE32=breaks
check "the run goes on" test "$code" -eq 0
check "every required package installed" has wine64
check "the i386 index retried three times after the first update" updates 4
check "the i386 architecture this run added is gone again" archs_are ""
check "apt's first error line is the reason" \
  status_is "not-installed: E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."

scenario every-index-stale EVERY_INDEX=broken RUNS_32_BIT=1
check "the run goes on with the lists there are" test "$code" -eq 0
check "required packages still installed" has cmake
check "three tries only" updates 3

scenario required-package-missing UNINSTALLABLE=xvfb
check "the run fails" test "$code" -ne 0
check "with apt's own message" grep -q "E: Unable to locate package xvfb" "$STATE/out"
check "nothing 32-bit tried" test ! -e "$STATE/status"

scenario no-32-bit-code RUNS_32_BIT=1
check "the run goes on" test "$code" -eq 0
check "no i386 architecture added" archs_are ""
check "the probe's word is the reason" status_is "no-32-bit-code"

scenario i386-there-before I386_BEFORE=yes WINE32=breaks
check "an i386 architecture the run did not add stays" archs_are "i386"
check "the reason is told" grep -q '^not-installed: E: Error' "$STATE/status"

scenario healthy
check "wine32 installed" has wine32:i386
check "i386 kept for it" archs_are "i386"
check "told" status_is "installed"

scenario node-missing KORVANE_NODE_PRESENT=no
check "node and npm installed" has npm
check "told" node_status_is "installed"
check "wine32 still tried" status_is "installed"

scenario node-not-to-be-had KORVANE_NODE_PRESENT=no UNINSTALLABLE=npm RUNS_32_BIT=1
check "the run goes on" test "$code" -eq 0
check "required packages still installed" has wine64
check "apt's first error line is the reason" node_status_is "not-installed: E: Unable to locate package npm"

scenario node-there
check "nothing installed for it" test "$(grep -c 'nodejs' "$STATE/calls")" -eq 0
check "told" node_status_is "present"

all="cmake ninja-build g++ libgtest-dev mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64
  fonts-wine fonts-liberation xvfb xauth imagemagick clang clang-format clang-tidy libclang-rt-14-dev locales zip unzip
  binutils"
scenario all-there PRESENT="$all wine32:i386"
check "apt-get is not called" test ! -s "$STATE/calls"
check "told" status_is "installed"

scenario not-root-with-all-required KORVANE_AS_ROOT=no PRESENT="$all" KORVANE_NODE_PRESENT=no
check "the run goes on" test "$code" -eq 0
check "nothing installed" test ! -s "$STATE/calls"
check "the optional parts say why" status_is "not-installed: not run as root (run tools/install-deps.sh as root once)"

scenario not-root-with-one-missing KORVANE_AS_ROOT=no PRESENT="${all/xvfb/}"
check "the run fails" test "$code" -ne 0
check "naming what is missing" grep -q "missing: xvfb; not run as root" "$STATE/out"
check "nothing installed" test ! -s "$STATE/calls"

echo "$failures failed"
exit $((failures > 0))
