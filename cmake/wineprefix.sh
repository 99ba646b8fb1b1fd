#!/usr/bin/env bash
# Makes and runs the Wine prefix of a build tree: headless (null graphics driver), with
# Wine's own fonts, and one wineserver kept alive for the whole test run.
#   wineprefix.sh init PREFIX    create the prefix once, then start a persistent wineserver
#   wineprefix.sh run PREFIX EXE [ARGS...]
#   wineprefix.sh stop PREFIX
set -euo pipefail
cmd=$1; prefix=$2; shift 2
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine=/usr/lib/wine/wine64; [ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

case $cmd in
init)
  if [ ! -f "$prefix/.lineage-ready" ]; then
    rm -rf "$prefix"; mkdir -p "$prefix"
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    # Headless: windows run on the null driver; no X display is needed.
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -k || true; wineserver -w || true
    touch "$prefix/.lineage-ready"
  fi
  # One server for the run; warm it with every stream closed so no pipe is held open.
  wineserver -p </dev/null >/dev/null 2>&1 || true  # already running: keep it
  "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
  ;;
run)
  exec "$wine" "$@"
  ;;
stop)
  wineserver -k 2>/dev/null || true
  ;;
*) echo "usage: $0 init|run|stop PREFIX ..." >&2; exit 2 ;;
esac
