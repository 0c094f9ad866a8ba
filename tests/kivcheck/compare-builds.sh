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
# packages/broken: setup.inf without list.inf, which does not load.
packages="$root/tests/kivcheck/packages"

failures=0
compare() {  # NAME DIR ARGS...: both builds in DIR with ARGS must give the same output and exit status
  local name="$1" dir="$2" status
  shift 2
  { (cd "$dir" && "$native" "$@") 2>/dev/null && status=0 || status=$?; echo "exit status $status"; } >"$work/$name.native"
  { (cd "$dir" && wine "$windows" "$@") 2>/dev/null </dev/null && status=0 || status=$?; echo "exit status $status"; } >"$work/$name.windows"
  if cmp -s "$work/$name.native" "$work/$name.windows"; then
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
[ "$failures" -eq 0 ] || { echo "compare-builds: $failures comparison(s) failed" >&2; exit 1; }
echo "compare-builds: both builds agree"
