# Sourced by the scripts that run Wine: finds its programs where Debian's packages put them, so that
# nothing depends on what else happens to be on PATH. Sets WINE (the 64-bit loader) and WINESERVER.
# Usage: source scripts/wine-env.sh PREFIX
WINEPREFIX=$1
# Wine names Unix files in the locale's character set: with no locale at all (a clean `env -i`)
# it cannot create a file whose name has a letter outside ASCII.
[ -n "${LC_ALL:-}${LC_CTYPE:-}${LANG:-}" ] || export LANG=C.UTF-8
export WINEPREFIX WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine || true)
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)
if [ ! -x "$WINE" ] || [ ! -x "$WINESERVER" ]; then
  echo "wine-env: Wine is not installed (run scripts/setup)" >&2
  exit 1
fi
# Makes the prefix once: a fresh wineboot, then Wine's own fonts so "MS Shell Dlg" is Tahoma.
# Extra registry settings come as arguments: "KEY|VALUE|DATA" triples for `reg add`.
wine_prefix_create() {
  rm -rf "$WINEPREFIX"; mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
  local setting key value data
  # A crash ends the process at once: Wine's default debugger would hold it until a timeout.
  for setting in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug|Debugger|' "$@"; do
    IFS='|' read -r key value data <<<"$setting"
    "$WINE" reg add "$key" /v "$value" /d "$data" /f </dev/null >/dev/null 2>&1
  done
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true; "$WINESERVER" -w 2>/dev/null || true
  touch "$WINEPREFIX/.lineage-ready"
}
# The Windows name Wine gives a Unix path (drive Z: is the Unix root); no Wine process needed.
wine_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}
