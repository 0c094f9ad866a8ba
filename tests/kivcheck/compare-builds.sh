#!/usr/bin/env bash
# Both builds of kivcheck must give byte-identical --json output (and the same
# exit status) for the same package and the same target text: runs the native
# build and, under Wine, the Windows build on a few packages and compares.
#
#   tests/kivcheck/compare-builds.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
#
# Defaults: build/native and build/windows. Run it through tests/run-under-wine.sh.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
native="$(cd "$root" && realpath -m "${1:-build/native}")/kivcheck"
windows="$(cd "$root" && realpath -m "${2:-build/windows}")/kivcheck.exe"
for program in "$native" "$windows"; do
  [ -x "$program" ] || { echo "compare-builds: $program is missing; build both builds first" >&2; exit 1; }
done
export WINEDEBUG="${WINEDEBUG:--all}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The worked example, with 8-bit and control characters in its texts and
# something for most warnings.
example="$work/example"
mkdir -p "$example/data"
printf '[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=ArenaPack\r\nCopyright=\xa9 2001 \xc4rena \x01\t"quoted" \\\r\n\r\n[ArenaPack]\r\nTitle=Arena Map Pack \xe9\xff\x80\r\nInstallText = not read\r\nInstallText=Choose the directory of the game\r\nDefaultDir=C:\\Games\\Arena\r\n' >"$example/setup.inf"
printf '[ArenaPack]\nCount=6\nFILE1=data\\arena1.map;$setupdir\\maps\\;C;1\nFILE2=data\\arena2.map;$SetupDir\\Maps;c;2\nFILE3=readme.txt;$setupdir;E;0\nFILE4=data\\gone.map;maps\\;C;4\nFILE5=data\\arena1.map;$setupdir\\..\\up\\;Copy;5\nFILE7=late.txt;$setupdir;C;7\n' >"$example/list.inf"
printf 'first map' >"$example/data/arena1.map"
printf 'second map' >"$example/data/arena2.map"
printf 'read me' >"$example/readme.txt"
printf 'licence\0rest' >"$example/license.txt"
printf 'BMnot really' >"$example/logo.bmp"

# A package that does not load: setup.inf without list.inf.
mkdir -p "$work/broken" && printf '[Setup]\n' >"$work/broken/setup.inf"

# Description files that are no files: a directory or a named pipe is a file
# that cannot be opened, on both builds, and nothing waits on the pipe.
for name in setup-dir list-dir setup-pipe; do
  mkdir -p "$work/$name" && cp "$example/setup.inf" "$example/list.inf" "$work/$name/"
done
rm "$work/setup-dir/setup.inf" "$work/list-dir/list.inf" "$work/setup-pipe/setup.inf"
mkdir "$work/setup-dir/setup.inf" "$work/list-dir/list.inf"
mkfifo "$work/setup-pipe/setup.inf"

# What Windows sees in a package that Linux would read otherwise: a pipe for
# the licence, a directory for the logo, sources that are devices or pipes,
# named in another case, written with "/" (one climbing out of the target),
# and two copies to one place.
odd="$work/odd"
mkdir -p "$odd/data" "$odd/sub" "$odd/logo.bmp"
cp "$example/setup.inf" "$odd/"
printf '[ArenaPack]\nCount=8\nFILE1=NUL;$setupdir;C;1\nFILE2=COM1.txt;$setupdir;C;2\nFILE3=data\\pipe;$setupdir;C;3\nFILE4=Data\\Arena1.MAP;$setupdir\\maps\\;C;4\nFILE5=data/arena1.map;$setupdir;C;5\nFILE6=sub/../../elsewhere/payload.txt;$setupdir;C;6\nFILE7=data\\arena1.map;$SetupDir\\MAPS\\;C;7\nFILE8=readme.txt;$setupdir;E;8\n' >"$odd/list.inf"
printf 'map' >"$odd/data/arena1.map"
printf 'read me' >"$odd/readme.txt"
mkfifo "$odd/license.txt" "$odd/data/pipe"
# A bitmap whose pixels are said to start far beyond its end.
crafted="$work/crafted" && mkdir -p "$crafted" && cp "$example/setup.inf" "$example/list.inf" "$crafted/"
python3 -c 'import struct,sys; sys.stdout.buffer.write(b"BM" + struct.pack("<IHHIIiiHHIIiiII", 3126, 0, 0, 0x7FFFFFF0, 40, 32, 32, 1, 24, 0, 0, 0, 0, 0, 0) + bytes(3072))' >"$crafted/logo.bmp"

failures=0
# compare NAME DIR ARGS...: runs both builds in DIR with ARGS, compares.
compare() {
  local name="$1" dir="$2"
  shift 2
  local native_status=0 windows_status=0
  (cd "$dir" && timeout 60 "$native" "$@") >"$work/$name.native" 2>/dev/null || native_status=$?
  (cd "$dir" && timeout 60 wine "$windows" "$@") >"$work/$name.windows" 2>/dev/null </dev/null || windows_status=$?
  if ! cmp -s "$work/$name.native" "$work/$name.windows"; then
    echo "FAIL $name: the outputs differ" >&2
    diff <(od -c "$work/$name.native") <(od -c "$work/$name.windows") | head -20 >&2 || true
    failures=$((failures + 1))
  elif [ "$native_status" != "$windows_status" ]; then
    echo "FAIL $name: exit status $native_status natively, $windows_status under Wine" >&2
    failures=$((failures + 1))
  else
    echo "ok   $name (exit status $native_status, $(wc -c <"$work/$name.native") bytes)"
  fi
}

compare example-in-place "$example" --json --target 'game\baseq3'
compare example-named "$work" --json --target 'game\baseq3' example
compare example-strict "$example" --json --strict
compare not-loaded "$work" --json broken
for name in setup-dir list-dir setup-pipe; do
  compare "$name" "$work/$name" --json
done
compare odd-files "$odd" --json --target 'game'
compare crafted-logo "$crafted" --json

# The verdicts themselves, not only their agreement.
expect() {
  local name="$1" pattern="$2" count="$3" found
  found=$( (grep -o "$pattern" "$work/$name.native" || true) | wc -l)
  if [ "$found" -ne "$count" ]; then
    echo "FAIL $name: $count x $pattern expected, $found found" >&2
    failures=$((failures + 1))
  fi
}
for name in setup-dir list-dir setup-pipe; do
  expect "$name" '"loaded": false' 1
done
expect odd-files '"code": "presentation-not-file"' 2
expect odd-files '"code": "source-not-file"' 3
expect odd-files '"code": "source-case-differs"' 1
expect odd-files '"code": "source-forward-slash"' 2
expect odd-files '"code": "dest-climbs-out"' 1
expect odd-files '"code": "dest-duplicate"' 1
expect crafted-logo '"code": "logo-not-bitmap"' 1

if [ "$failures" -ne 0 ]; then
  echo "compare-builds: $failures comparison(s) failed" >&2
  exit 1
fi
echo "compare-builds: both builds agree"
