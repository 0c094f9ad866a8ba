#!/usr/bin/env bash
# Lays out in one directory what tests/run-on-windows.cmd runs on a Windows machine: the script, the
# programs of the Windows build and its test programs, and the data the tests read from beside them
# (KIV_TEST_DATA_DIR: res\ with the committed pictures, the manifest the build wrote, examples\arena-pack).
#   tests/exe/stage-for-windows.sh WINDOWS_BUILD_DIR STAGE_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)" build="$1" stage="$2"
fail() { echo "stage-for-windows: $*" >&2; exit 1; }
[ -f "$build/KivSetup.exe" ] || fail "no $build/KivSetup.exe: run 'make windows' first"

mkdir -p "$stage/res" "$stage/examples"
cp "$root/tests/run-on-windows.cmd" "$build/KivSetup.exe" "$build/kivinstall.exe" "$build/generated/KivSetup.manifest" "$stage/"
find "$build/tests" \( -name 'kiv_*.exe' -o -name 'kiv_*.dll' \) -exec cp {} "$stage/" \;
cp "$root/res/logo.bmp" "$root/res/KivSetup.ico" "$stage/res/"
cp -r "$root/examples/arena-pack" "$stage/examples/"
# A test program the script does not name would be staged and never run.
for program in "$stage"/kiv_*_tests.exe; do
  grep -qw "$(basename "$program" .exe)" "$stage/run-on-windows.cmd" || fail "run-on-windows.cmd does not run $(basename "$program")"
done
