#!/usr/bin/env bash
# Both builds of kivcheck must give byte-identical --json output and the same exit status for the same
# package and target text: runs the native build and, under Wine, the Windows build, and compares.
#   tests/kivcheck/compare-builds.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]   (through tests/run-under-wine.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
native="$(cd "$root" && realpath -m "${1:-build/native}")/kivcheck"
windows="$(cd "$root" && realpath -m "${2:-build/windows}")/kivcheck.exe"
[ -x "$native" ] && [ -x "$windows" ] || { echo "compare-builds: build both builds first" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# packages/example: the worked example with 8-bit and control characters and most warnings;
# packages/broken: setup.inf without list.inf, which does not load; packages/odd: what Windows sees
# otherwise than Linux: device and pipe sources, names in another case, "/" (one climbing out of the
# target), two copies to one place, and below a pipe for the licence and a directory for the logo.
packages="$root/tests/kivcheck/packages"
cp -r "$packages/odd" "$work/odd" && mkdir -p "$work/odd/sub" "$work/odd/logo.bmp"
mkfifo "$work/odd/license.txt" "$work/odd/data/pipe"
# Description files that are no files (a directory, a pipe) do not open, and nothing waits on the pipe;
# a logo whose pixels are said to start far beyond its end is no bitmap.
for name in setup-dir list-dir setup-pipe crafted-logo; do
  mkdir -p "$work/$name" && cp "$packages/example/setup.inf" "$packages/example/list.inf" "$work/$name/"
done
rm "$work/setup-dir/setup.inf" "$work/list-dir/list.inf" "$work/setup-pipe/setup.inf"
mkdir "$work/setup-dir/setup.inf" "$work/list-dir/list.inf" && mkfifo "$work/setup-pipe/setup.inf"
cp "$packages/crafted-logo.bmp" "$work/crafted-logo/logo.bmp"
# Destinations through device names: in 1252 NUL, aux.txt, lpt1 and COM¹ (B9, a digit to Windows) but not nul1;
# in 932 "NUL.表" (95 5C), and destinations that end with a lead byte (81): with "a.txt" joined on, the file
# lands at ∥ (81 61) and ".txt"; with no file name the path ends with half a character.
for name in devices devices-932; do
  mkdir -p "$work/$name/data" && printf 'a' >"$work/$name/data/a.txt" && cp "$packages/example/setup.inf" "$work/$name/"
done
printf '%s\n' '[ArenaPack]' 'Count=5' 'FILE1=data\a.txt;$setupdir\NUL\;C;1' 'FILE2=data\a.txt;$setupdir\aux.txt\;C;2' \
  'FILE3=data\a.txt;$setupdir\lpt1\sub\;C;3' $'FILE4=data\\a.txt;$setupdir\\COM\xB9\\;C;4' \
  'FILE5=data\a.txt;$setupdir\nul1\;C;5' >"$work/devices/list.inf"
printf '%s\n' '[ArenaPack]' 'Count=3' $'FILE1=data\\a.txt;$setupdir\\NUL.\x95\\\\;C;1' \
  $'FILE2=data\\a.txt;$setupdir\\d\\\x81;C;2' $'FILE3=data\\;$setupdir\\e\\\x81;C;3' >"$work/devices-932/list.inf"

failures=0
compare() {  # NAME DIR ARGS...: both builds in DIR with ARGS must give the same output and exit status
  local name="$1" dir="$2" native_status windows_status
  shift 2
  (cd "$dir" && timeout 60 "$native" "$@") >"$work/$name.native" 2>/dev/null && native_status=0 || native_status=$?
  (cd "$dir" && timeout 60 wine "$windows" "$@") >"$work/$name.windows" 2>/dev/null </dev/null && windows_status=0 ||
    windows_status=$?
  echo "exit status $native_status" >>"$work/$name.native"
  echo "exit status $windows_status" >>"$work/$name.windows"
  # A program that timed out (124), could not run (125 to 127) or was killed (128 and up) gave no verdict, even
  # where the other build did the same.
  if [ "$native_status" -ge 124 ] || [ "$windows_status" -ge 124 ]; then
    echo "FAIL $name: timed out, not run or killed (exit status $native_status natively, $windows_status on Windows)" >&2
    failures=$((failures + 1))
  elif cmp -s "$work/$name.native" "$work/$name.windows"; then
    echo "ok   $name ($(tail -1 "$work/$name.native"), $(wc -c <"$work/$name.native") bytes)"
  else
    echo "FAIL $name: the outputs or exit statuses differ" >&2
    diff <(od -c "$work/$name.native") <(od -c "$work/$name.windows") | head -20 >&2 || true
    failures=$((failures + 1))
  fi
}
compare example-in-place "$packages/example" --json --target 'game\baseq3'
compare example-named "$packages" --json --target 'game\baseq3' example
compare example-strict "$packages/example" --json --strict
compare not-loaded "$packages" --json broken
for name in setup-dir list-dir setup-pipe crafted-logo; do compare "$name" "$work/$name" --json; done
compare odd-files "$work/odd" --json --target game
compare devices "$work/devices" --json --target game
LANG=ja_JP.UTF-8 compare devices-932 "$work/devices-932" --codepage 932 --json --target game
expect() {  # NAME COUNT PATTERN: the verdicts themselves, not only their agreement
  [ "$( (grep -o "$3" "$work/$1.native" || true) | wc -l)" -eq "$2" ] || { echo "FAIL $1: not $2 x $3" >&2; failures=$((failures + 1)); }
}
for name in setup-dir list-dir setup-pipe; do expect "$name" 1 '"loaded": false'; done
expect crafted-logo 1 '"code": "logo-not-bitmap"'
for verdict in presentation-not-file:2 source-not-file:3 source-case-differs:1 source-forward-slash:2 dest-climbs-out:1 dest-duplicate:1; do
  expect odd-files "${verdict#*:}" "\"code\": \"${verdict%:*}\""
done
expect devices 4 '"code": "dest-device"'
for verdict in dest-device:1 dest-no-trailing-backslash:1 not-code-page-text:1; do
  expect devices-932 "${verdict#*:}" "\"code\": \"${verdict%:*}\""
done
[ "$failures" -eq 0 ] || { echo "compare-builds: $failures comparison(s) failed" >&2; exit 1; }
echo "compare-builds: both builds agree"
