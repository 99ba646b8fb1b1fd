#!/usr/bin/env bash
# Makes and runs the Wine prefix of a build tree: headless (null graphics driver), with
# Wine's own fonts, and one wineserver kept alive for the whole test run.
#   wineprefix.sh init PREFIX    create the prefix once, then start a persistent wineserver
#   wineprefix.sh run PREFIX EXE [ARGS...]
#   wineprefix.sh stop PREFIX
set -euo pipefail
cmd=$1; prefix=$2; shift 2
unset DISPLAY WAYLAND_DISPLAY
source "$(dirname "$0")/../scripts/wine-env.sh" "$prefix"

case $cmd in
init)
  if [ ! -f "$prefix/.lineage-ready" ]; then
    # Headless: windows run on the null driver; no X display is needed.
    wine_prefix_create 'HKCU\Software\Wine\Drivers|Graphics|null'
  fi
  # One server for the run; warm it with every stream closed so no pipe is held open.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true  # already running: keep it
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
  ;;
run)
  exec "$WINE" "$@"
  ;;
stop)
  "$WINESERVER" -k 2>/dev/null || true
  ;;
*) echo "usage: $0 init|run|stop PREFIX ..." >&2; exit 2 ;;
esac
