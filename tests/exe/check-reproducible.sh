#!/usr/bin/env bash
# Every build of a commit (default HEAD) gives the same bytes: its tree copied into two directories
# of other names and depths, built one after the other (the second in another time zone and
# locale), must give byte-identical KivSetup.exe, kivcheck.exe, kivinstall.exe, kivpack.exe and .deb
# (`make deb`). Builds only those, without tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
commit="$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")"
work="$(mktemp -d "${TMPDIR:-/tmp}/kivsetup-reproducible.XXXXXX")"
trap 'rm -rf "$work"' EXIT

build() {  # build DIR: the commit's tree in DIR, built; prints the sums
  mkdir -p "$1" && git -C "$root" archive "$commit" | tar -x -C "$1"
  (cd "$1" && cmake --preset windows -DKIV_TESTS=OFF && make deb) >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
  (cd "$1/build" && sha256sum windows/KivSetup.exe windows/kivcheck.exe windows/kivinstall.exe windows/kivpack.exe release/deb/*.deb)
}
build "$work/first" >"$work/first.sha256"
TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 build "$work/second/other-copy" >"$work/second.sha256"
echo "check-reproducible: commit $commit"
paste "$work/first.sha256" "$work/second.sha256" | awk '{ print $2 ": " $1 (($1 == $3) ? " in both" : " and " $3) }'
cmp -s "$work/first.sha256" "$work/second.sha256" || { echo "FAIL: the two builds differ" >&2; exit 1; }
