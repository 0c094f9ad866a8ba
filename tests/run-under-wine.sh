#!/usr/bin/env bash
# Runs a command (normally ctest for the Windows build) with a ready Wine:
# a prepared prefix, one wineserver kept alive for the whole run so that each
# test process starts quickly, and a virtual display when there is none.
set -euo pipefail

export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-kivsetup}"
export WINEDEBUG="${WINEDEBUG:--all}"

if [ -z "${DISPLAY:-}" ] && [ -z "${KIV_UNDER_XVFB:-}" ]; then
  export KIV_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# A server left from an earlier run may belong to a display that is gone.
wineserver -k >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX ..."
  wineboot -i >/dev/null 2>&1 || true
fi
wineserver -p >/dev/null 2>&1 </dev/null
# Without a window manager on Xvfb, Wine's managed windows make each dialog's
# end wait; unmanaged windows close at once.
if [ -n "${KIV_UNDER_XVFB:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
fi
# Start Wine's own background processes now, detached from our output: started
# by a test instead, they would hold its output pipe open after it ends.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
status=0
"$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
