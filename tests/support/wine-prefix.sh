# Sourced by every script that runs Wine (tests/run-under-wine.sh, examples/demo.sh): prepares
# $WINEPREFIX the same way whether it is new, exists, or a wineserver of an earlier run still lives.
#   kiv_prepare_wine_prefix NAME     (NAME prefixes the messages)
kiv_wine_fail() { echo "$1: $2" >&2; exit 1; }

kiv_prepare_wine_prefix() {
  local name="$1"
  export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-kivsetup}"
  export WINEDEBUG="${WINEDEBUG:--all}"
  command -v wine >/dev/null && command -v wineserver >/dev/null && command -v wineboot >/dev/null ||
    kiv_wine_fail "$name" "Wine is not installed; run 'make deps'"
  # A server of an earlier run may belong to a display that is gone.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local log="${TMPDIR:-/tmp}/kivsetup-wineboot.$$.log"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$name: preparing the Wine prefix $WINEPREFIX ..."
    mkdir -p "$WINEPREFIX" 2>/dev/null || kiv_wine_fail "$name" "cannot make the Wine prefix directory $WINEPREFIX"
    # wineboot returns before its server has written the registry: wait for that server to end.
    if ! wineboot -i >"$log" 2>&1 || ! wineserver -w >>"$log" 2>&1 || [ ! -f "$WINEPREFIX/system.reg" ]; then
      tail -20 "$log" >&2
      kiv_wine_fail "$name" "Wine could not prepare the prefix $WINEPREFIX (wineboot's output is above)"
    fi
  fi
  # A new prefix lacks Wine's own fonts (fonts-wine), whose MS Sans Serif 8 has Windows' dialog base units.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" wine_fonts=/usr/share/wine/fonts
  [ -f "$wine_fonts/sserife.fon" ] || kiv_wine_fail "$name" "Wine's fonts ($wine_fonts) are missing; run 'make deps'"
  [ -f "$fonts/sserife.fon" ] || { mkdir -p "$fonts" && cp "$wine_fonts"/* "$fonts/"; }
  # One server for the whole run, so that each program starts quickly.
  if ! wineserver -p >"$log" 2>&1 </dev/null || ! wine cmd /c exit >>"$log" 2>&1 </dev/null; then
    tail -20 "$log" >&2
    kiv_wine_fail "$name" "Wine cannot start in the prefix $WINEPREFIX (its output is above)"
  fi
  rm -f "$log"
}
