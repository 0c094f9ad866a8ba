# Sourced by every script that runs Wine (tests/run-under-wine.sh, examples/demo.sh): prepares
# $WINEPREFIX the same way whether it is new, exists, or a wineserver of an earlier run still lives.
# Without WINEPREFIX the prefix is the tests' own, ~/.wine-kivsetup; one the user names is used as it is.
# Only a server that these scripts started is ever stopped (kiv_stop_wine_server): a server that runs in
# the user's prefix serves the user's programs, and stays.
#   kiv_prepare_wine_prefix NAME     (NAME prefixes the messages)
#   kiv_stop_wine_server             (at the end)
kiv_wine_fail() { echo "$1: $2" >&2; exit 1; }

# Where Wine's 32-bit half cannot start, `wine` is its 64-bit loader, for the 64-bit build
# (tests/support/windows-test-build.sh).
kiv_support="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "$("$kiv_support/windows-test-build.sh" 2>/dev/null)" = windows-x64 ]; then
  export PATH="$kiv_support/wine64-only:$PATH"
fi

# Whether a server runs for $WINEPREFIX: `wineserver -w` waits for one to end, and returns at once without.
kiv_wine_server_runs() { ! timeout 2 wineserver -w >/dev/null 2>&1; }

kiv_started_wine_server=0
kiv_stop_wine_server() {
  if [ "$kiv_started_wine_server" = 1 ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  kiv_started_wine_server=0
}

kiv_prepare_wine_prefix() {
  local name="$1"
  local own=0
  [ -n "${WINEPREFIX:-}" ] || { export WINEPREFIX="$HOME/.wine-kivsetup"; own=1; }
  export WINEDEBUG="${WINEDEBUG:--all}"
  command -v wine >/dev/null && command -v wineserver >/dev/null && command -v wineboot >/dev/null ||
    kiv_wine_fail "$name" "Wine is not installed; run 'make deps'"
  # A server of ours (in the tests' own prefix, or one that a script around this one started) may belong
  # to a display that is gone, or to another than this script's: it is started afresh.
  if { [ "$own" = 1 ] || [ -n "${KIV_WINE_SERVER_OURS:-}" ]; } && kiv_wine_server_runs; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  local log="${TMPDIR:-/tmp}/kivsetup-wineboot.$$.log"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$name: preparing the Wine prefix $WINEPREFIX ..."
    mkdir -p "$WINEPREFIX" 2>/dev/null || kiv_wine_fail "$name" "cannot make the Wine prefix directory $WINEPREFIX"
    # wineboot returns before its server has written the registry: wait for that server to end, or,
    # where the user's server runs on, for the registry it writes from time to time.
    local ready=0 running=0
    kiv_wine_server_runs && running=1
    if wineboot -i >"$log" 2>&1; then
      if [ "$running" = 1 ]; then
        for _ in $(seq 120); do [ -f "$WINEPREFIX/system.reg" ] && break; sleep 1; done
      else
        wineserver -w >>"$log" 2>&1 || true
      fi
      [ -f "$WINEPREFIX/system.reg" ] && ready=1
    fi
    if [ "$ready" = 0 ]; then
      tail -20 "$log" >&2
      rm -f "$log"
      kiv_wine_fail "$name" "Wine could not prepare the prefix $WINEPREFIX (wineboot's output is above)"
    fi
  fi
  # A new prefix lacks Wine's own fonts (fonts-wine), whose MS Sans Serif 8 has Windows' dialog base units.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" wine_fonts=/usr/share/wine/fonts
  [ -f "$wine_fonts/sserife.fon" ] || kiv_wine_fail "$name" "Wine's fonts ($wine_fonts) are missing; run 'make deps'"
  [ -f "$fonts/sserife.fon" ] || { mkdir -p "$fonts" && cp "$wine_fonts"/* "$fonts/"; }
  # One server for the whole run, so that each program starts quickly: started here unless one runs.
  if ! kiv_wine_server_runs; then
    if ! wineserver -p >"$log" 2>&1 </dev/null; then
      local said; said="$(cat "$log")"; rm -f "$log"
      kiv_wine_fail "$name" "Wine cannot start its server ($said)"
    fi
    kiv_started_wine_server=1
    export KIV_WINE_SERVER_OURS=1
  fi
  local status=0
  wine cmd /c exit >>"$log" 2>&1 </dev/null || status=$?
  if [ "$status" != 0 ]; then
    tail -20 "$log" >&2
    rm -f "$log"
    kiv_wine_fail "$name" "Wine cannot start in the prefix $WINEPREFIX (exit status $status; its output, if any, is above)"
  fi
  rm -f "$log"
}
