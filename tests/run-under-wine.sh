#!/usr/bin/env bash
# Runs a command (normally ctest for the Windows build) with a prepared Wine prefix, one wineserver kept
# alive for the whole run so that each test process starts quickly, and a virtual display when there is none.
set -euo pipefail
if [ -z "${DISPLAY:-}" ] && [ -z "${KIV_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "run-under-wine: xvfb-run is missing; run 'make deps'" >&2; exit 1; }
  export KIV_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
. "$(dirname "$0")/support/wine-prefix.sh"
kiv_prepare_wine_prefix run-under-wine
# Without a window manager on Xvfb, Wine's managed windows make each dialog's end wait; unmanaged ones close at once.
if [ -n "${KIV_UNDER_XVFB:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
fi
status=0
"$@" || status=$?
kiv_stop_wine_server
exit $status
