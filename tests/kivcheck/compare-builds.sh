#!/usr/bin/env bash
# Both builds of kivcheck must give byte-identical --json output and the same exit status for the same
# package and target text: runs the native build and, under Wine, the Windows build, and compares.
#   tests/kivcheck/compare-builds.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]   (through tests/run-under-wine.sh)
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
# packages/example: the worked example with 8-bit and control characters in its texts and something for
# most warnings; packages/broken: setup.inf without list.inf, which does not load.
packages="$root/tests/kivcheck/packages"

failures=0
compare() {  # NAME DIR ARGS...: runs both builds in DIR with ARGS
  local name="$1" dir="$2" native_status=0 windows_status=0
  shift 2
  (cd "$dir" && "$native" "$@") >"$work/$name.native" 2>/dev/null || native_status=$?
  (cd "$dir" && wine "$windows" "$@") >"$work/$name.windows" 2>/dev/null </dev/null || windows_status=$?
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
compare example-in-place "$packages/example" --json --target 'game\baseq3'
compare example-named "$packages" --json --target 'game\baseq3' example
compare example-strict "$packages/example" --json --strict
compare not-loaded "$packages" --json broken
[ "$failures" -eq 0 ] || { echo "compare-builds: $failures comparison(s) failed" >&2; exit 1; }
echo "compare-builds: both builds agree"
