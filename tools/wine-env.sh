#!/usr/bin/env bash
# Owns a throwaway Wine prefix and an Xvfb display for running the Windows programs here.
#   wine-env.sh setup DIR [DISPLAY]   new prefix in DIR/prefix, host ProgID registered, on
#                                     DISPLAY or else on an Xvfb display of its own
#   wine-env.sh run DIR PROGRAM ARGS...    runs PROGRAM under Wine in that prefix and display
#   wine-env.sh unregistered DIR PROGRAM ARGS...   the same with the host ProgID removed meanwhile
#   wine-env.sh dpi DIR DPI PROGRAM ARGS...   the same at another screen DPI (LogPixels)
#   wine-env.sh locale DIR LANG PROGRAM ARGS...   the same with Wine in the Unix locale LANG
#   wine-env.sh nofontlink DIR PROGRAM ARGS...   the same without Wine's own faces (Tahoma): the
#                                     message font is then Liberation Sans, as on Debian's Wine as shipped
#   wine-env.sh teardown DIR        stops Wine and Xvfb, removes DIR
# The ProgID is only ever written into DIR's own registry.
set -euo pipefail

readonly PROGID='MixW2.Application'
readonly CLSID='{6A1B3C5D-2E4F-4A8B-9C0D-1E2F3A4B5C6D}'

env_for() {
  local dir=$1
  export WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES='mscoree,mshtml,winemenubuilder.exe='
  DISPLAY=$(cat "$dir/display")
  export DISPLAY
}

free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo "$n"; return; fi
  done
  echo "no free X display" >&2
  return 1
}

# Runs a program under Wine. Its output goes through a file: processes that Wine
# starts on the side (the desktop, services) would otherwise hold the caller's
# pipe open long after the program has ended.
run_wine() {
  local out status=0
  out=$(mktemp)
  wine "$@" >"$out" 2>&1 || status=$?
  cat "$out"
  rm -f "$out"
  return $status
}

# A running Wine session keeps the locale and DPI it started with.
restart_session() {
  wineserver -k || true
  wineserver -w || true
}

register() { wine reg add "HKLM\\Software\\Classes\\$PROGID\\CLSID" /ve /d "$CLSID" /f >/dev/null; }
unregister() { wine reg delete "HKLM\\Software\\Classes\\$PROGID" /f >/dev/null 2>&1 || true; }

# Debian's Wine 8 looks for its own faces (Tahoma, Marlett for the caption buttons) in
# /usr/share/fonts, where fonts-wine does not put them; it also reads the prefix's Fonts.
link_wine_faces() { ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"; }

cmd=${1:?command}
dir=${2:?directory}
shift 2
case $cmd in
  setup)
    rm -rf "$dir"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ -n "${1:-}" ]; then
      echo "$1" >"$dir/display"
    else
      n=$(free_display)
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      echo $! >"$dir/xvfb.pid"
      echo ":$n" >"$dir/display"
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
    env_for "$dir"
    # Wine's services outlive this step; they must not hold the caller's output open.
    (
      wine wineboot --init
      wineserver -w
      wineserver -p # stays up between the test programs until teardown
      # Without a window manager Wine waits 2 s whenever a top-level window closes.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
      register
    ) </dev/null >"$dir/setup.log" 2>&1
    link_wine_faces
    echo "prefix ready on $DISPLAY"
    ;;
  run)
    env_for "$dir"
    run_wine "$@"
    ;;
  unregistered)
    env_for "$dir"
    unregister
    status=0
    run_wine "$@" || status=$?
    register
    exit $status
    ;;
  dpi)
    env_for "$dir"
    dpi=${1:?dpi}
    shift
    set_dpi() {
      restart_session
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
    }
    set_dpi "$dpi"
    status=0
    KORVANE_EXPECT_DPI=$dpi run_wine "$@" || status=$?
    set_dpi 96
    exit $status
    ;;
  locale)
    env_for "$dir"
    lang=${1:?locale}
    shift
    # The locale need not be installed system-wide: it is compiled into a private LOCPATH.
    export LOCPATH="$dir/locale"
    if [ ! -d "$LOCPATH/$lang" ]; then
      mkdir -p "$LOCPATH"
      localedef -i "${lang%%.*}" -f "${lang#*.}" "$LOCPATH/$lang" || true
    fi
    restart_session
    status=0
    LANG=$lang LC_ALL=$lang run_wine "$@" || status=$?
    restart_session
    exit $status
    ;;
  nofontlink)
    env_for "$dir"
    restart_session
    find "$WINEPREFIX/drive_c/windows/Fonts" -maxdepth 1 -lname '/usr/share/wine/fonts/*' -delete
    status=0
    run_wine "$@" || status=$?
    restart_session
    link_wine_faces
    exit $status
    ;;
  teardown)
    if [ -f "$dir/display" ]; then
      env_for "$dir"
      wineserver -k || true
    fi
    [ -f "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -rf "$dir"
    ;;
  *)
    echo "unknown command $cmd" >&2
    exit 2
    ;;
esac
