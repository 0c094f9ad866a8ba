#!/usr/bin/env bash
# The example package installed three ways must give the same tree: natively
# by kivinstall, by kivinstall.exe under Wine, and by KivSetup.exe itself under
# Wine, driven through its dialog (examples/demo.sh). Run it through
# tests/run-under-wine.sh.
#
#   tests/kivinstall/compare-installs.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
native="$(cd "$root" && realpath -m "${1:-build/native}")"
windows="$(cd "$root" && realpath -m "${2:-build/windows}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Every file with its content's checksum, relative to the target.
tree() { (cd "$1" && find . -type f -exec sha256sum {} + | sort -k2); }

"$native/kivinstall" --accept-license --target "$work/native" "$root/examples/arena-pack" 2>/dev/null
(cd "$root/examples/arena-pack" && wine "$windows/kivinstall.exe" --accept-license --target "Z:$(tr / '\\' <<<"$work/windows")" </dev/null) 2>/dev/null
KIV_DEMO_HEADLESS=1 KIV_DEMO_SHOTS="$work/shots" KIV_DEMO_TARGET="$work/dialog" "$root/examples/demo.sh" "$windows/KivSetup.exe" >/dev/null

tree "$work/native" >"$work/native.tree"
[ -s "$work/native.tree" ] || { echo "FAIL: kivinstall installed nothing" >&2; exit 1; }
status=0
for other in windows dialog; do
  if ! diff -u "$work/native.tree" <(tree "$work/$other") >&2; then
    echo "FAIL: the tree of $other differs from kivinstall's" >&2
    status=1
  fi
done
[ "$status" -ne 0 ] || echo "compare-installs: kivinstall, kivinstall.exe and KivSetup.exe install the same tree ($(wc -l <"$work/native.tree") files)"
exit "$status"
