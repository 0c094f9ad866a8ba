#!/usr/bin/env bash
# Runs KivSetup.exe on the example package (or on KIV_DEMO_PACKAGE) under Wine.
#
#   examples/demo.sh [path/to/KivSetup.exe]     (default: build/windows/KivSetup.exe)
#
# With a display, the installer opens there and you drive it yourself. Without
# one, it runs under Xvfb and xdotool drives it: tick "I Agree", type a target
# directory, INSTALL, dismiss the result and Exit. Screenshots of each stage go
# to build/demo/*.png. Builds nothing itself: `make demo` builds first.
# Needs wine, and for the headless run xvfb, xdotool and imagemagick.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exe="${1:-$repo/build/windows/KivSetup.exe}"
if [ ! -f "$exe" ]; then
  echo "demo: $exe not found; build it first with 'make windows'." >&2
  exit 1
fi

. "$repo/tests/support/wine-prefix.sh"

if [ -n "${DISPLAY:-}" ] && [ -z "${KIV_DEMO_HEADLESS:-}" ] && [ -z "${KIV_DEMO_IN_XVFB:-}" ]; then
  interactive=1
else
  interactive=
fi
if [ -z "$interactive" ] && [ -z "${KIV_DEMO_IN_XVFB:-}" ]; then
  for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "demo: '$tool' is missing (make deps)" >&2; exit 1; }
  done
  export KIV_DEMO_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$exe"
fi

# The installer reads its package from its current directory: a fresh copy of
# the example (or of KIV_DEMO_PACKAGE, whose dialog is titled KIV_DEMO_TITLE)
# with the executable beside it, so the repository stays clean.
package="${KIV_DEMO_PACKAGE:-$repo/examples/arena-pack}"
title="${KIV_DEMO_TITLE:-Arena Map Pack}"
work="$(mktemp -d "${TMPDIR:-/tmp}/kivsetup-demo.XXXXXX")"
# Removed however the run ends (cleanup below takes over once Wine is ready);
# an interactive run leaves its package copy to the user.
[ -n "$interactive" ] || trap 'rm -rf "$work"' EXIT
cp -r "$package" "$work/package"
cp "$exe" "$work/package/KivSetup.exe"

if [ -n "$interactive" ]; then
  kiv_prepare_wine_prefix demo
  echo "demo: starting KivSetup.exe in $work/package on display $DISPLAY"
  echo "demo: its default directory C:\\Games\\Arena is $WINEPREFIX/drive_c/Games/Arena"
  cd "$work/package"
  wine KivSetup.exe
  echo "demo: the installer has ended; the package copy stays in $work/package"
  exit 0
fi

# --- Headless run, inside Xvfb ------------------------------------------------
# KIV_DEMO_SHOTS and KIV_DEMO_TARGET (kept afterwards) let a test use the run.
shots="${KIV_DEMO_SHOTS:-$repo/build/demo}"
mkdir -p "$shots"
rm -f "$shots"/*.png
target="${KIV_DEMO_TARGET:-$work/target}"
mkdir -p "$target"
target="$(cd "$target" && pwd)"

kiv_prepare_wine_prefix demo
# Xvfb has no window manager: for this run Wine draws the installer's frame and
# caption itself. The setting is for KivSetup.exe only and is removed at the end.
appkey='HKCU\Software\Wine\AppDefaults\KivSetup.exe\X11 Driver'
wine reg add "$appkey" /v Managed /d N /f >/dev/null 2>&1
cleanup() {
  wine reg delete "$appkey" /f >/dev/null 2>&1 || true
  kiv_stop_wine_server
  rm -rf "$work"
}
trap cleanup EXIT

# Waits for a visible window whose title matches; prints its id.
wait_window() {
  local id
  for _ in $(seq 1 200); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)" || true
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "demo: no window '$1' appeared" >&2
  return 1
}
shot() {
  import -window "$1" "$shots/$2"
  echo "demo: saved $shots/$2"
}
# Makes a window the active one with a click at x y inside it (on something
# inert: the logo, a message text), since there is no window manager to ask.
activate() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.3
}
press() {
  xdotool "$@"
  sleep 0.3
}

cd "$work/package"
wine KivSetup.exe &
installer=$!
dialog="$(wait_window "^$title\$")"
sleep 1
shot "$dialog" 1-first-display.png

# The focus starts on "I Agree": tick it, Tab to the directory (its text is
# selected) and type the target over it.
activate "$dialog" 60 60
press key space
press key Tab
press type --delay 20 "Z:$(echo "$target" | tr / '\\')"
shot "$dialog" 2-ready.png

# Tab past Browse to INSTALL and press it. The result box comes up, and the
# shell opens readme.txt (the package's E entry) in Notepad, moved below the
# dialog so that the picture shows all three.
press key Tab Tab Return
box="$(wait_window '^Setup$')"
readme="$(wait_window '^readme.txt')" || true
if [ -n "$readme" ]; then
  xdotool windowmove "$readme" 0 440
fi
sleep 1
import -window root "$shots/3-installed.png"
echo "demo: saved $shots/3-installed.png"
activate "$box" 20 30
press key Return
shot "$dialog" 4-finished.png

# "&Exit" has the focus again.
activate "$dialog" 60 60
press key Return
for _ in $(seq 1 100); do
  kill -0 "$installer" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$installer" 2>/dev/null; then
  echo "demo: the installer did not end" >&2
  exit 1
fi

echo "demo: installed into $target:"
(cd "$target" && find . -type f | sort | sed 's/^/  /')
echo "demo: screenshots are in $shots"
